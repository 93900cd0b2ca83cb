#include "output/result_writer.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "output/xml_text.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

enum class ModeGroup { Xml, Corvatel, Tessary, Plugin, Other };

ModeGroup GroupOf(const std::string& mode) {
  if (mode == "EXEXML" || mode == "Quimbel" || mode == "Lumenox") return ModeGroup::Xml;
  if (mode == "Nagios") return ModeGroup::Plugin;
  if (mode == "Corvatel") return ModeGroup::Corvatel;
  if (mode == "Tessary") return ModeGroup::Tessary;
  return ModeGroup::Other;
}

// The text modes show units in their own short forms.
std::string TextUnit(const std::string& unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == "TimeResponse") return "mSec";
  return unit;
}

}  // namespace

void ReadWriterOptions(ResultWriter& writer, const std::string& parameterString, const std::string& parameterText) {
  size_t keyword = parameterString.find("CH=");
  writer.singleChannel = keyword != std::string::npos;
  writer.requestedChannel = 0;
  if (!writer.singleChannel) return;
  // Up to three characters behind the keyword, before any comma, read as a number.
  std::string digits = parameterText.substr(std::min(keyword + 3, parameterText.size()), 3);
  writer.requestedChannel = LeadingInteger(digits.substr(0, digits.find(',')));
}

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

void WriteErrorDocument(ResultWriter& w, const std::string& message) {
  if (GroupOf(w.outputMode) == ModeGroup::Plugin) {
    // One state for the run: what was measured before the error is dropped.
    w.plugin.state = ErrorState(message);
    w.messageBuffer = RenderPluginError(w.plugin.state, message, {});
    return;
  }
  // The message may be the buffer's own text: build first, then replace.
  std::string document = "<Prtg>";
  document += "\n<Error>1</Error>";
  document += "\n<Text>";
  document += EscapeXml(message);
  document += "</Text>";
  document += "\n</Prtg>\n";
  w.messageBuffer = document;
}

void WriteErrorEnd(ResultWriter& w, const std::string& message) {
  if (GroupOf(w.outputMode) != ModeGroup::Xml) {
    WriteErrorDocument(w, message);
    return;
  }
  std::string end = "\n<Error>1</Error>";
  end += "\n<Text>";
  end += EscapeXml(message);
  end += "</Text>";
  end += "\n</Prtg>\n";
  w.messageBuffer = end;
}

std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text) {
  std::string line(indent > 0 ? indent : 0, ' ');
  line += label;
  if (static_cast<int>(label.size()) < width) line.append(width - label.size(), ' ');
  return line + " : " + text + "\n";
}

void WriteHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen) {
  const std::string fatal = "RFC error: " + report.key + " - " + report.message;
  if (documentOpen && GroupOf(w.outputMode) == ModeGroup::Xml) {
    WriteErrorEnd(w, fatal);
    return;
  }
  const int kLabelWidth = 15;
  const std::pair<const char*, const std::string*> fields[] = {
      {"operation/code", &report.operation}, {"key", &report.key}, {"status", &report.status},
      {"message", &report.message}, {"internal status", &report.internalStatus}};
  std::vector<std::string> lines;
  for (const auto& field : fields) lines.push_back(FormatLabelLine(field.first, 0, kLabelWidth, *field.second));
  if (GroupOf(w.outputMode) == ModeGroup::Plugin) {
    for (std::string& line : lines) line.pop_back();  // the renderer ends each line
    w.plugin.state = PluginState::Critical;
    w.messageBuffer = RenderPluginError(w.plugin.state, fatal, lines);
    return;
  }
  std::string block = "RFC error\n";
  for (const std::string& line : lines) block += line;
  block += "\n* Programm aborted...\n";
  if (!report.endMarkerMade) block += "* Error at EoXput-File...\n";
  w.messageBuffer = block;
}

void BeginDocument(ResultWriter& w) {
  switch (GroupOf(w.outputMode)) {
    case ModeGroup::Xml: w.messageBuffer = "\n<Prtg>\n"; break;
    case ModeGroup::Plugin: w.plugin = PluginOutput(); [[fallthrough]];
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: w.messageBuffer.clear(); break;
    case ModeGroup::Other: break;
  }
}

void BeginText(ResultWriter& w) {
  switch (GroupOf(w.outputMode)) {
    case ModeGroup::Xml: w.messageBuffer += "\n<Text>"; break;
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: w.messageBuffer += "\n# "; break;
    case ModeGroup::Plugin: w.plugin.text.clear(); break;
    case ModeGroup::Other: break;
  }
}

void AppendText(ResultWriter& w, const std::string& text) {
  switch (GroupOf(w.outputMode)) {
    case ModeGroup::Xml: w.messageBuffer += EscapeXml(text); break;
    case ModeGroup::Plugin: w.plugin.text += text; break;
    default: w.messageBuffer += text; break;
  }
}

void EndText(ResultWriter& w) {
  switch (GroupOf(w.outputMode)) {
    case ModeGroup::Xml: w.messageBuffer += "</Text>\n"; break;
    case ModeGroup::Tessary:
      // With CH= only the chosen channel's bare value is wanted.
      if (w.singleChannel) w.messageBuffer.clear();
      break;
    case ModeGroup::Plugin:
      // The summary ends in a blank the status line has no use for.
      while (!w.plugin.text.empty() && w.plugin.text.back() == ' ') w.plugin.text.pop_back();
      break;
    case ModeGroup::Corvatel:
    case ModeGroup::Other: break;
  }
}

void WriteChannel(ResultWriter& w, const std::string& channel, const std::string& value, const std::string& unit) {
  ++w.channelCounter;
  ModeGroup group = GroupOf(w.outputMode);
  if (group == ModeGroup::Corvatel) {
    if (w.channelCounter > 10) return;  // Corvatel takes at most 10 channels a run
    std::string key = ChannelKey(channel);
    w.messageBuffer += "\n\nMessage." + key + ": " + channel + " (" + TextUnit(unit) + ")";
    w.messageBuffer += "\nStatistic." + key + ": " + value;
    return;
  }
  if (group == ModeGroup::Plugin) {
    PluginLine line;
    line.channel = PluginChannel{channel, LeadingInteger(value), PluginUnit(unit)};
    w.plugin.lines.push_back(line);
    return;
  }
  if (group == ModeGroup::Tessary) {
    if (w.singleChannel) {
      if (w.requestedChannel == w.channelCounter) w.messageBuffer += value;
      return;
    }
    w.messageBuffer += "\n> " + channel + ": " + value + " " + TextUnit(unit);
    return;
  }
  w.messageBuffer += "\n<Result><Channel>" + EscapeXml(channel) + "</Channel>";
  if (!unit.empty()) {
    w.messageBuffer += "\n<Unit>Custom</Unit>";
    w.messageBuffer += "\n<CustomUnit>" + EscapeXml(unit) + "</CustomUnit>";
  }
  w.messageBuffer += "\n<Value>" + EscapeXml(value) + "</Value>";
  // Only the PRTG sensor form carries limits; the host products take none.
  if (w.outputMode == "EXEXML" && (w.limits.warning || w.limits.error)) {
    w.messageBuffer += "\n<LimitMode>1</LimitMode>";
    if (w.limits.warning) w.messageBuffer += "\n<LimitMinWarning>" + std::to_string(*w.limits.warning) + "</LimitMinWarning>";
    if (w.limits.error) w.messageBuffer += "\n<LimitMinError>" + std::to_string(*w.limits.error) + "</LimitMinError>";
  }
  w.messageBuffer += "</Result>\n";
}

void EndDocument(ResultWriter& w) {
  switch (GroupOf(w.outputMode)) {
    case ModeGroup::Xml: w.messageBuffer += "\n</Prtg>\n"; break;
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: w.messageBuffer += "\n"; break;
    case ModeGroup::Plugin: w.messageBuffer = RenderPluginResult(w.plugin, w.limits); break;
    case ModeGroup::Other: break;
  }
}

void BeginGroupDocument(ResultWriter& w) {
  BeginDocument(w);
  // The plugin form prints nothing before its end.
  if (GroupOf(w.outputMode) != ModeGroup::Plugin) w.messageBuffer += "\n";
}

void EndGroupDocument(ResultWriter& w, const std::string& summary, bool atLeastWarning) {
  w.messageBuffer.clear();
  w.plugin.atLeastWarning = atLeastWarning;
  BeginText(w);
  AppendText(w, summary);
  EndText(w);
  EndDocument(w);
  if (GroupOf(w.outputMode) != ModeGroup::Plugin) w.messageBuffer += "\n";
}

void WriteSystemState(ResultWriter& w, const std::string& label, const std::string& state) {
  if (GroupOf(w.outputMode) != ModeGroup::Plugin) return;
  PluginLine line;
  line.label = label;
  line.state = state;
  w.plugin.lines.push_back(line);
}

int ExitCodeFor(const ResultWriter& w, int runExitCode) {
  if (GroupOf(w.outputMode) == ModeGroup::Plugin) return static_cast<int>(w.plugin.state);
  return runExitCode;
}

bool ConsoleOnStandardError(const ResultWriter& w) { return GroupOf(w.outputMode) == ModeGroup::Plugin; }

}  // namespace fennick
