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

OutputForm TessaryForm() {
  OutputForm form;
  form.name = "Tessary";
  form.profileAsGiven = true;
  form.beginDocument = ClearDocument;
  form.beginText = BeginHashLine;
  form.appendText = AppendPlainText;
  form.endText = EndLine;
  form.arrangeSystem = SystemAsItComes;
  form.channel = Channel;
  form.endDocument = AppendLineEnd;
  form.beginGroup = BeginFramedGroup;
  form.systemState = NoSystemState;
  form.summary = WriteFramedSummary;
  form.error = WriteWholeErrorDocument;
  form.errorEnd = WriteWholeErrorDocument;
  form.handlerReport = WriteHandlerBlock;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kTessaryForm = TessaryForm();

}  // namespace fennick
