// The Tessary host product's "> " lines, or with CH= one channel's bare value.
#include "output/form_parts.h"

namespace fennick {

namespace {

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

}  // namespace

extern const OutputForm kTessaryForm = {
    "Tessary",
    false,
    0,
    true,
    false,
    0,
    ClearDocument,
    BeginHashLine,
    AppendPlainText,
    EndLine,
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
