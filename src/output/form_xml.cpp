#include "output/form_xml.h"

namespace fennick {

void BeginXmlDocument(ResultWriter& w) { w.messageBuffer = "\n<Prtg>\n"; }
void BeginXmlText(ResultWriter& w) { w.messageBuffer += "\n<Text>"; }
void AppendXmlText(ResultWriter& w, const std::string& text) { w.messageBuffer += EscapeXml(text); }
void EndXmlText(ResultWriter& w) { w.messageBuffer += "</Text>\n"; }
void EndXmlDocument(ResultWriter& w) { w.messageBuffer += "\n</Prtg>\n"; }

void HostChannel(ResultWriter& w, const ChannelOut& channel) { WriteXmlChannel(w, channel, false); }

void XmlError(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocument(failure.message); }
void XmlErrorEnd(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocumentEnd(failure.message); }

std::string XmlHandlerText(const HandlerReport& report, const std::string& system) {
  return HandlerReportText(report) + (system.empty() ? std::string() : " (" + system + ")");
}

// A monitor that reads XML shows the reason rather than a parse error: an
// open document is closed as an error, so the channels already out stay
// readable; else the report is an error document of its own.
void XmlHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen, const std::string& system) {
  const std::string text = XmlHandlerText(report, system);
  w.messageBuffer = documentOpen ? ErrorDocumentEnd(text) : ErrorDocument(text);
}

// A form outside the list writes no frame, its text as it is, and its
// channels as XML.
namespace {

OutputForm UnlistedForm() {
  OutputForm form;
  form.name = "";
  form.profileAsGiven = true;
  form.beginDocument = NoOperation;
  form.beginText = NoOperation;
  form.appendText = AppendPlainText;
  form.endText = NoOperation;
  form.arrangeSystem = SystemAsItComes;
  form.channel = HostChannel;
  form.endDocument = NoOperation;
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

extern const OutputForm kUnlistedForm = UnlistedForm();

}  // namespace fennick
