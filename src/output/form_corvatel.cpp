// The Corvatel host product's "Message."/"Statistic." key lines.
#include "output/form_parts.h"

namespace fennick {

namespace {

// Corvatel takes at most 10 channels a run.
const int kMostChannels = 10;

void Begin(ResultWriter& w) { w.messageBuffer.clear(); }
void BeginLine(ResultWriter& w) { w.messageBuffer += "\n# "; }
void AppendRaw(ResultWriter& w, const std::string& text) { w.messageBuffer += text; }
void Nothing(ResultWriter&) {}
void End(ResultWriter& w) { w.messageBuffer += "\n"; }

void Channel(ResultWriter& w, const ChannelOut& channel) {
  if (w.channelCounter > kMostChannels) return;
  const std::string key = ChannelKey(channel.name);
  w.messageBuffer += "\n\nMessage." + key + ": " + channel.name + " (" + TextUnit(channel.unit) + ")";
  w.messageBuffer += "\nStatistic." + key + ": " + channel.value;
}

void Error(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocument(failure.message); }

}  // namespace

extern const OutputForm kCorvatelForm = {
    "Corvatel", false, 0, true, false, 0,
    Begin, BeginLine, AppendRaw, Nothing, Channel, End,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    Error, Error, WriteHandlerBlock, RunsExitCode,
};

}  // namespace fennick
