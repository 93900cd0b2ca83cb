#include "output/prtg_channels.h"

#include "output/result_writer.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// How a channel stands, most urgent first.
enum AlarmRank { kBelowError, kBelowWarning, kOffline, kNoAlarm };

AlarmRank RankOf(const ChannelOut& channel, const ChannelLimits& limits) {
  const int64_t value = LeadingInteger(channel.value);
  if (limits.error && value < *limits.error) return kBelowError;
  if (limits.warning && value < *limits.warning) return kBelowWarning;
  if (!channel.offline.empty()) return kOffline;
  return kNoAlarm;
}

std::string WithoutExtension(const std::string& profile) {
  const size_t point = profile.rfind('.');
  const size_t separator = profile.find_last_of("/\\");
  if (point == std::string::npos || (separator != std::string::npos && point < separator)) return profile;
  return profile.substr(0, point);
}

size_t RoomLeft(size_t used) { return used < kPrtgTextLength ? kPrtgTextLength - used : 0; }

}  // namespace

std::string UniqueChannelName(PrtgChannels& prtg, const std::string& label, const std::string& profile) {
  const int uses = ++prtg.uses[label];
  std::string name = label;
  if (prtg.names.count(name) && !profile.empty()) name = label + " (" + WithoutExtension(profile) + ")";
  // A name of the same form may have come as a label of its own.
  for (int count = uses; prtg.names.count(name); ++count) name = label + " #" + std::to_string(count);
  prtg.names.insert(name);
  return name;
}

std::vector<ChannelOut> ChannelsForRoom(const std::vector<ChannelOut>& channels, size_t room,
                                        const ChannelLimits& limits) {
  if (channels.size() <= room) return channels;
  std::vector<ChannelOut> ordered;
  ordered.reserve(channels.size());
  for (int rank = kBelowError; rank <= kNoAlarm; ++rank) {
    for (const ChannelOut& channel : channels) {
      if (RankOf(channel, limits) == rank) ordered.push_back(channel);
    }
  }
  return ordered;
}

std::string ListNote(const std::string& start, const std::vector<std::string>& entries, size_t room) {
  std::string note = start;
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string entry = (i == 0 ? "" : ", ") + entries[i];
    // Room kept for the cut, unless this is the last entry.
    const size_t cut = i + 1 < entries.size() ? std::string(", ...").size() : 0;
    if (note.size() + entry.size() + cut > room) {
      note += i == 0 ? "..." : ", ...";
      return note.size() <= room ? note : std::string();
    }
    note += entry;
  }
  return note;
}

std::string PrtgText(const std::string& text, const std::vector<std::string>& unmeasured,
                     const std::vector<std::string>& offline, const std::string& channelsNote) {
  const std::string offlineNote =
      offline.empty() ? std::string() : ListNote(" - offline: ", offline, RoomLeft(text.size() + channelsNote.size()));
  const size_t used = text.size() + offlineNote.size() + channelsNote.size();
  const std::string unmeasuredNote =
      unmeasured.empty() ? std::string() : ListNote(" - unmeasured: ", unmeasured, RoomLeft(used));
  return text + unmeasuredNote + offlineNote + channelsNote;
}

}  // namespace fennick
