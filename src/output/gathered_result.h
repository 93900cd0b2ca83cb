// What the forms that write the whole result at its end gather while the
// run goes on: the channels, each with a copy of its tablespace, and the
// systems that gave none, in the order they came.
#pragma once

#include <optional>
#include <vector>

#include "output/output_form.h"

namespace fennick {

struct GatheredEntry {
  std::optional<ChannelOut> channel;        // a channel; its row pointer is not kept
  std::optional<TablespaceRow> tablespace;  // the channel's tablespace, where it has one
  std::optional<UnmeasuredSystem> system;   // or a system that gave none
};

struct GatheredResult {
  std::vector<GatheredEntry> entries;
};

// Keeps a channel, with its own copy of the row behind it.
inline void GatherChannel(GatheredResult& gathered, const ChannelOut& channel) {
  GatheredEntry entry;
  entry.channel = channel;
  entry.channel->row = nullptr;
  if (channel.row) entry.tablespace = *channel.row;
  gathered.entries.push_back(entry);
}

inline void GatherSystem(GatheredResult& gathered, const UnmeasuredSystem& system) {
  GatheredEntry entry;
  entry.system = system;
  gathered.entries.push_back(entry);
}

}  // namespace fennick
