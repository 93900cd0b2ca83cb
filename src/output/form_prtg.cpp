// PRTG's EXE/XML sensor document, written in the EXEXML form and in the
// host-product forms Lumenox and Quimbel; only EXEXML carries limits.
#include "output/form_parts.h"

namespace fennick {

namespace {

void BeginXmlDocument(ResultWriter& w) { w.messageBuffer = "\n<Prtg>\n"; }
void BeginXmlText(ResultWriter& w) { w.messageBuffer += "\n<Text>"; }
void AppendXmlText(ResultWriter& w, const std::string& text) { w.messageBuffer += EscapeXml(text); }
void EndXmlText(ResultWriter& w) { w.messageBuffer += "</Text>\n"; }
void EndXmlDocument(ResultWriter& w) { w.messageBuffer += "\n</Prtg>\n"; }

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

void HostChannel(ResultWriter& w, const ChannelOut& channel) { WriteXmlChannel(w, channel, false); }

void XmlError(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocument(failure.message); }
void XmlErrorEnd(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocumentEnd(failure.message); }

// A monitor that reads XML shows the reason rather than a parse error: an
// open document is closed as an error, so the channels already out stay
// readable; else the report is an error document of its own.
void XmlHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen) {
  const std::string text = HandlerReportText(report);
  w.messageBuffer = documentOpen ? ErrorDocumentEnd(text) : ErrorDocument(text);
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
                     std::to_string(count) + "</Value>\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>0</LimitMaxWarning>" +
                     "</Result>\n";
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

// A form outside the list writes no frame, its text as it is, and its
// channels as XML.
void Nothing(ResultWriter&) {}
void AppendRawText(ResultWriter& w, const std::string& text) { w.messageBuffer += text; }

}  // namespace

extern const OutputForm kExexmlForm = {
    "EXEXML", true, kPrtgChannels, false, false, 0,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, SensorChannel, EndXmlDocument,
    SensorGroup, NoSystemState, SensorSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kLumenoxForm = {
    "Lumenox", false, 0, true, false, 0,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, HostChannel, EndXmlDocument,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kQuimbelForm = {
    "Quimbel", false, 0, true, false, 0,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, HostChannel, EndXmlDocument,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kUnlistedForm = {
    "", false, 0, true, false, 0,
    Nothing, Nothing, AppendRawText, Nothing, HostChannel, Nothing,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlError, WriteHandlerBlock, RunsExitCode,
};

}  // namespace fennick
