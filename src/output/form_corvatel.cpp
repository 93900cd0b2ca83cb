// The Corvatel host product's "Message."/"Statistic." key lines.
#include "output/form_parts.h"

namespace fennick {

namespace {

// Corvatel takes at most 10 channels a run.
const int kMostChannels = 10;

void Channel(ResultWriter& w, const ChannelOut& channel) {
  if (w.channelCounter > kMostChannels) return;
  const std::string key = ChannelKey(channel.name);
  w.messageBuffer += "\n\nMessage." + key + ": " + channel.name + " (" + TextUnit(channel.unit) + ")";
  w.messageBuffer += "\nStatistic." + key + ": " + channel.value;
}

}  // namespace

extern const OutputForm kCorvatelForm = {
    "Corvatel",
    false,
    0,
    true,
    false,
    0,
    ClearDocument,
    BeginHashLine,
    AppendPlainText,
    NoOperation,
    Channel,
    AppendLineEnd,
    BeginFramedGroup,
    NoSystemState,
    WriteFramedSummary,
    WriteWholeErrorDocument,
    WriteWholeErrorDocument,
    WriteHandlerBlock,
    RunsExitCode,
};

}  // namespace fennick
