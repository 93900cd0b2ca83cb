// The Tessary host product's "> " lines, or with CH= one channel's bare value.
#include "output/form_parts.h"

namespace fennick {

namespace {

void Begin(ResultWriter& w) { w.messageBuffer.clear(); }
void BeginLine(ResultWriter& w) { w.messageBuffer += "\n# "; }
void AppendRaw(ResultWriter& w, const std::string& text) { w.messageBuffer += text; }
void End(ResultWriter& w) { w.messageBuffer += "\n"; }

// With CH= only the chosen channel's bare value is wanted.
void EndLine(ResultWriter& w) {
  if (w.singleChannel) w.messageBuffer.clear();
}

void Channel(ResultWriter& w, const ChannelOut& channel) {
  if (w.singleChannel) {
    if (w.requestedChannel == w.channelCounter) w.messageBuffer += channel.value;
    return;
  }
  w.messageBuffer += "\n> " + channel.name + ": " + channel.value + " " + TextUnit(channel.unit);
}

void Error(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocument(failure.message); }

}  // namespace

extern const OutputForm kTessaryForm = {
    "Tessary", false, 0, true, false, 0,
    Begin, BeginLine, AppendRaw, EndLine, Channel, End,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    Error, Error, WriteHandlerBlock, RunsExitCode,
};

}  // namespace fennick
