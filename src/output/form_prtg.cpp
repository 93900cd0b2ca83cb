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

void SensorChannel(ResultWriter& w, const std::string& channel, const std::string& value, const std::string& unit) {
  if (w.channelsShown >= kPrtgChannels - w.channelsKept) {
    ++w.channelsLeftOut;
    return;
  }
  ++w.channelsShown;
  WriteXmlChannel(w, channel, value, unit, true);
}

void HostChannel(ResultWriter& w, const std::string& channel, const std::string& value, const std::string& unit) {
  WriteXmlChannel(w, channel, value, unit, false);
}

void XmlError(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocument(failure.message); }
void XmlErrorEnd(ResultWriter& w, const RunFailure& failure) { w.messageBuffer = ErrorDocumentEnd(failure.message); }

// An open document is closed as an error, so the channels already out stay
// readable; a report before any document is the block.
void XmlHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen) {
  if (documentOpen) {
    w.messageBuffer = ErrorDocumentEnd(HandlerReportText(report));
    return;
  }
  WriteHandlerBlock(w, report, documentOpen);
}

// A form outside the list writes no frame, its text as it is, and its
// channels as XML.
void Nothing(ResultWriter&) {}
void AppendRawText(ResultWriter& w, const std::string& text) { w.messageBuffer += text; }

}  // namespace

extern const OutputForm kExexmlForm = {
    "EXEXML", true, kPrtgChannels, false, false,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, SensorChannel, EndXmlDocument,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kLumenoxForm = {
    "Lumenox", false, 0, true, false,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, HostChannel, EndXmlDocument,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kQuimbelForm = {
    "Quimbel", false, 0, true, false,
    BeginXmlDocument, BeginXmlText, AppendXmlText, EndXmlText, HostChannel, EndXmlDocument,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlErrorEnd, XmlHandlerReport, RunsExitCode,
};

extern const OutputForm kUnlistedForm = {
    "", false, 0, true, false,
    Nothing, Nothing, AppendRawText, Nothing, HostChannel, Nothing,
    BeginFramedGroup, NoSystemState, WriteFramedSummary,
    XmlError, XmlError, WriteHandlerBlock, RunsExitCode,
};

}  // namespace fennick
