#include "output/result_writer.h"

#include <algorithm>
#include <utility>

#include "output/form_parts.h"
#include "output/xml_text.h"
#include "profile/text_util.h"

namespace fennick {

std::string EscapeXml(const std::string& raw) {
  // Names and messages come from files and arguments that may hold any bytes.
  const std::string text = XmlCharacters(raw);
  if (text.find_first_of("&<>") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size() + 16);
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string ChannelKey(const std::string& channel) {
  static const std::string kSeparators = " /\\[]*():-";
  std::string key = channel;
  for (char& c : key) {
    if (kSeparators.find(c) != std::string::npos) c = '_';
  }
  size_t point = key.find('.');
  if (point != std::string::npos) key[point] = '_';
  return key;
}

std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text) {
  std::string line(indent > 0 ? indent : 0, ' ');
  line += label;
  if (static_cast<int>(label.size()) < width) line.append(width - label.size(), ' ');
  return line + " : " + text + "\n";
}

// The operations, each through the run's form.

void WriteErrorDocument(ResultWriter& w, const RunFailure& failure) { w.form->error(w, failure); }
void WriteErrorEnd(ResultWriter& w, const RunFailure& failure) { w.form->errorEnd(w, failure); }
void BeginDocument(ResultWriter& w) { w.form->beginDocument(w); }
void BeginText(ResultWriter& w) { w.form->beginText(w); }
void AppendText(ResultWriter& w, const std::string& text) { w.form->appendText(w, text); }
void EndText(ResultWriter& w) { w.form->endText(w); }

void WriteChannel(ResultWriter& w, const std::string& channel, const std::string& value, const std::string& unit) {
  ChannelOut out;
  out.name = channel;
  out.value = value;
  out.unit = unit;
  WriteChannel(w, out);
}

void WriteChannel(ResultWriter& w, const ChannelOut& channel) {
  // Counted in every form, also where the channel is then left out.
  ++w.channelCounter;
  w.form->channel(w, channel);
}

void EndDocument(ResultWriter& w) { w.form->endDocument(w); }
void BeginGroupDocument(ResultWriter& w) { w.form->beginGroup(w); }
void EndGroupDocument(ResultWriter& w, const GroupSummary& summary) { w.form->summary(w, summary); }

void WriteSystemState(ResultWriter& w, const UnmeasuredSystem& system) { w.form->systemState(w, system); }

std::string ChannelsLeftOutNote(const ResultWriter& w, int channels) {
  const int room = w.form->channelRoom - w.channelsKept;
  if (w.form->channelRoom == 0 || channels <= room) return std::string();
  return " - " + std::to_string(channels - room) + " more channels than PRTG shows: split the sensor";
}

int ExitCodeFor(const ResultWriter& w, int runExitCode) { return w.form->exitCode(w, runExitCode); }

void WriteHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen, const std::string& system) {
  w.form->handlerReport(w, report, documentOpen, system);
}

// The pieces the forms share.

std::string ErrorDocument(const std::string& message) { return "<Prtg>" + ErrorDocumentEnd(message); }

std::string ErrorDocumentEnd(const std::string& message) {
  return "\n<Error>1</Error>\n<Text>" + EscapeXml(message) + "</Text>\n</Prtg>\n";
}

std::string HandlerReportText(const HandlerReport& report) {
  return "RFC error: " + report.key + " - " + report.message;
}

std::vector<std::string> HandlerReportLines(const HandlerReport& report) {
  const int kLabelWidth = 15;
  const std::pair<const char*, const std::string*> fields[] = {{"operation/code", &report.operation},
                                                               {"key", &report.key},
                                                               {"status", &report.status},
                                                               {"message", &report.message},
                                                               {"internal status", &report.internalStatus}};
  std::vector<std::string> lines;
  for (const auto& field : fields) lines.push_back(FormatLabelLine(field.first, 0, kLabelWidth, *field.second));
  return lines;
}

std::string HandlerReportBlock(const HandlerReport& report) {
  std::string block = "RFC error\n";
  for (const std::string& line : HandlerReportLines(report)) block += line;
  block += "\n* Programm aborted...\n";
  if (!report.endMarkerMade) block += "* Error at EoXput-File...\n";
  return block;
}

void WriteXmlChannel(ResultWriter& w, const ChannelOut& channel, bool sensor) {
  std::string& out = w.messageBuffer;
  out += "\n<Result><Channel>" + EscapeXml(channel.name) + "</Channel>";
  if (!channel.unit.empty()) {
    out += "\n<Unit>Custom</Unit>";
    out += "\n<CustomUnit>" + EscapeXml(channel.unit) + "</CustomUnit>";
  }
  out += "\n<Value>" + EscapeXml(channel.value) + "</Value>";
  if (sensor && (w.limits.warning || w.limits.error)) {
    out += "\n<LimitMode>1</LimitMode>";
    if (w.limits.warning) out += "\n<LimitMinWarning>" + std::to_string(*w.limits.warning) + "</LimitMinWarning>";
    if (w.limits.error) out += "\n<LimitMinError>" + std::to_string(*w.limits.error) + "</LimitMinError>";
  }
  // A tablespace not online is an alert of its own.
  if (sensor && !channel.offline.empty()) out += "\n<Warning>1</Warning>";
  out += "</Result>\n";
}

void BeginFramedGroup(ResultWriter& w) {
  w.form->beginDocument(w);
  w.messageBuffer += "\n";
}

void WriteFramedSummary(ResultWriter& w, const GroupSummary& summary) {
  w.messageBuffer.clear();
  WriteFramedText(w, summary.text + ChannelsLeftOutNote(w, w.channelsShown + w.channelsLeftOut));
}

void WriteFramedText(ResultWriter& w, const std::string& text) {
  w.form->beginText(w);
  w.form->appendText(w, text);
  w.form->endText(w);
  w.form->endDocument(w);
  w.messageBuffer += "\n";
}

void WriteHandlerBlock(ResultWriter& w, const HandlerReport& report, bool, const std::string&) {
  w.messageBuffer = HandlerReportBlock(report);
}

int RunsExitCode(const ResultWriter&, int runExitCode) { return runExitCode; }

void ClearDocument(ResultWriter& w) { w.messageBuffer.clear(); }
void BeginHashLine(ResultWriter& w) { w.messageBuffer += "\n# "; }
void AppendPlainText(ResultWriter& w, const std::string& text) { w.messageBuffer += text; }
void AppendLineEnd(ResultWriter& w) { w.messageBuffer += "\n"; }
void NoOperation(ResultWriter&) {}
void WriteWholeErrorDocument(ResultWriter& w, const RunFailure& failure) {
  w.messageBuffer = ErrorDocument(failure.message);
}

std::string TextUnit(const std::string& unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == "TimeResponse") return "mSec";
  return unit;
}

void NoSystemState(ResultWriter&, const UnmeasuredSystem&) {}

std::string SystemAsItComes(ResultWriter&, const std::string& summary, std::vector<ChannelOut>&) { return summary; }

}  // namespace fennick
