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

OutputForm CorvatelForm() {
  OutputForm form;
  form.name = "Corvatel";
  form.profileAsGiven = true;
  form.beginDocument = ClearDocument;
  form.beginText = BeginHashLine;
  form.appendText = AppendPlainText;
  form.endText = NoOperation;
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

extern const OutputForm kCorvatelForm = CorvatelForm();

}  // namespace fennick
