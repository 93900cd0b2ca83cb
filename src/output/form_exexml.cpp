// PRTG's own EXE/XML sensor form: the document with limits, at most 50
// channels, and for a group with limits the systems that gave none.
#include "output/form_xml.h"

namespace fennick {

namespace {

// PRTG refuses a sensor with more channels.
const int kPrtgChannels = 50;

void SensorChannel(ResultWriter& w, const ChannelOut& channel) {
  if (w.channelsShown >= kPrtgChannels - w.channelsKept) {
    ++w.channelsLeftOut;
    return;
  }
  ++w.channelsShown;
  WriteXmlChannel(w, channel, true);
}

// PRTG takes at most 2,000 characters of a sensor's text.
const size_t kPrtgTextLength = 2000;

bool Alerting(const ResultWriter& w) { return w.limits.warning || w.limits.error; }

// With alerting on, the sensor keeps a channel for the systems that gave
// none, so that it turns to warning while one is missing.
void SensorGroup(ResultWriter& w) {
  BeginFramedGroup(w);
  w.channelsKept = Alerting(w) ? 1 : 0;
}

void WriteUnmeasuredChannel(ResultWriter& w, size_t count) {
  w.messageBuffer += "\n<Result><Channel>Unmeasured systems</Channel>\n<Unit>Count</Unit>\n<Value>" +
                     std::to_string(count) +
                     "</Value>\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>0</LimitMaxWarning>" + "</Result>\n";
}

// " - unmeasured: QAS (Rfc Failure), DVE.P00 (Profile missing), ..." within
// `room` characters, cut after whole entries.
std::string UnmeasuredNote(const std::vector<UnmeasuredSystem>& systems, size_t room) {
  const std::string start = " - unmeasured: ";
  std::string note = start;
  for (size_t i = 0; i < systems.size(); ++i) {
    const std::string entry = (i == 0 ? "" : ", ") + systems[i].label + " (" + systems[i].state + ")";
    const size_t kept = i + 1 < systems.size() ? std::string(", ...").size() : 0;
    if (note.size() + entry.size() + kept > room) return note + (i == 0 ? "..." : ", ...");
    note += entry;
  }
  return note;
}

void SensorSummary(ResultWriter& w, const GroupSummary& summary) {
  w.messageBuffer.clear();
  if (!Alerting(w)) return WriteFramedSummary(w, summary);
  WriteUnmeasuredChannel(w, summary.unmeasured.size());
  const std::string channels = ChannelsLeftOutNote(w, w.channelsShown + w.channelsLeftOut);
  std::string text = summary.text;
  if (!summary.unmeasured.empty()) {
    const size_t used = text.size() + channels.size();
    text += UnmeasuredNote(summary.unmeasured, used < kPrtgTextLength ? kPrtgTextLength - used : 0);
  }
  WriteFramedText(w, text + channels);
}

OutputForm ExexmlForm() {
  OutputForm form;
  form.name = "EXEXML";
  form.prtgSensor = true;
  form.channelRoom = kPrtgChannels;
  form.beginDocument = BeginXmlDocument;
  form.beginText = BeginXmlText;
  form.appendText = AppendXmlText;
  form.endText = EndXmlText;
  form.channel = SensorChannel;
  form.endDocument = EndXmlDocument;
  form.beginGroup = SensorGroup;
  form.systemState = NoSystemState;
  form.summary = SensorSummary;
  form.error = XmlError;
  form.errorEnd = XmlErrorEnd;
  form.handlerReport = XmlHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kExexmlForm = ExexmlForm();

}  // namespace fennick
