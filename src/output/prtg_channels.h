// PRTG's rules for the channels of one sensor document: every channel name
// once, the channels in alarm kept when there are more than PRTG shows, and
// the notes the text line carries within PRTG's 2,000 characters.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "output/output_form.h"

namespace fennick {

struct ChannelLimits;

// PRTG takes at most this many characters of a sensor's text.
constexpr size_t kPrtgTextLength = 2000;

// What a document has named and held back of its channels.
struct PrtgChannels {
  bool group = false;                // a group's document: channels come system by system
  std::map<std::string, int> uses;   // how often each label came
  std::set<std::string> names;       // the channel names in the document
  std::vector<std::string> offline;  // the names of offline channels, in channel order
  bool holding = false;              // channels are held back until the document closes
  std::vector<ChannelOut> held;
};

// The channel's name in the document: its label; where that is taken the
// label + " (" + the profile without its extension + ")"; where that is
// taken too, or there is no profile, the label + " #" + its uses so far.
std::string UniqueChannelName(PrtgChannels& prtg, const std::string& label, const std::string& profile);

// Every channel, those for a room of `room` first: where there are more
// than that, the channels below the error limit, then those below the
// warning limit, then those offline, each in channel order, then the rest
// in channel order. Where all fit, channel order.
std::vector<ChannelOut> ChannelsForRoom(const std::vector<ChannelOut>& channels, size_t room,
                                        const ChannelLimits& limits);

// `start` and the entries joined by ", ", within `room` characters: cut
// after whole entries with "..."; empty where not even that fits.
std::string ListNote(const std::string& start, const std::vector<std::string>& entries, size_t room);

// The text line: `text`, then " - unmeasured: " and the systems, " -
// offline: " and the channels, and `channelsNote`, within PRTG's 2,000
// characters; the unmeasured systems are cut first.
std::string PrtgText(const std::string& text, const std::vector<std::string>& unmeasured,
                     const std::vector<std::string>& offline, const std::string& channelsNote);

}  // namespace fennick
