#include "output/result_writer.h"

#include <algorithm>

#include "driver/run_state.h"
#include "output/numbers.h"

namespace fennick {

namespace {

enum class ModeGroup { Xml, Corvatel, Tessary, Other };

ModeGroup GroupOf(const std::string& mode) {
  if (mode == "EXEXML" || mode == "Quimbel" || mode == "Lumenox") return ModeGroup::Xml;
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

// Tessary with CH=: up to three characters behind the keyword, before any
// comma, read as a number.
int64_t RequestedChannel(const RunState& rs, size_t keyword) {
  std::string digits = rs.parameterText.substr(std::min(keyword + 3, rs.parameterText.size()), 3);
  return LeadingInteger(digits.substr(0, digits.find(',')));
}

}  // namespace

std::string EscapeXml(const std::string& text) {
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

void WriteErrorDocument(RunState& rs, const std::string& message) {
  // The message may be the buffer's own text: build first, then replace.
  std::string document = "<Prtg>";
  document += "\n<Error>1</Error>";
  document += "\n<Text>";
  document += EscapeXml(message);
  document += "</Text>";
  document += "\n</Prtg>\n";
  rs.messageBuffer = document;
}

void BeginDocument(RunState& rs) {
  switch (GroupOf(rs.outputMode)) {
    case ModeGroup::Xml: rs.messageBuffer = "\n<Prtg>\n"; break;
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: rs.messageBuffer.clear(); break;
    case ModeGroup::Other: break;
  }
}

void BeginText(RunState& rs) {
  switch (GroupOf(rs.outputMode)) {
    case ModeGroup::Xml: rs.messageBuffer += "\n<Text>"; break;
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: rs.messageBuffer += "\n# "; break;
    case ModeGroup::Other: break;
  }
}

void AppendText(RunState& rs, const std::string& text) {
  rs.messageBuffer += GroupOf(rs.outputMode) == ModeGroup::Xml ? EscapeXml(text) : text;
}

void EndText(RunState& rs) {
  switch (GroupOf(rs.outputMode)) {
    case ModeGroup::Xml: rs.messageBuffer += "</Text>\n"; break;
    case ModeGroup::Tessary:
      // With CH= only the chosen channel's bare value is wanted.
      if (rs.parameterString.find("CH=") != std::string::npos) rs.messageBuffer.clear();
      break;
    case ModeGroup::Corvatel:
    case ModeGroup::Other: break;
  }
}

void WriteChannel(RunState& rs, const std::string& channel, const std::string& value, const std::string& unit) {
  ++rs.channelCounter;
  ModeGroup group = GroupOf(rs.outputMode);
  if (group == ModeGroup::Corvatel) {
    if (rs.channelCounter > 10) return;  // Corvatel takes at most 10 channels a run
    std::string key = ChannelKey(channel);
    rs.messageBuffer += "\n\nMessage." + key + ": " + channel + " (" + TextUnit(unit) + ")";
    rs.messageBuffer += "\nStatistic." + key + ": " + value;
    return;
  }
  if (group == ModeGroup::Tessary) {
    size_t keyword = rs.parameterString.find("CH=");
    if (keyword != std::string::npos) {
      if (RequestedChannel(rs, keyword) == rs.channelCounter) rs.messageBuffer += value;
      return;
    }
    rs.messageBuffer += "\n> " + channel + ": " + value + " " + TextUnit(unit);
    return;
  }
  rs.messageBuffer += "\n<Result><Channel>" + EscapeXml(channel) + "</Channel>";
  if (!unit.empty()) {
    rs.messageBuffer += "\n<Unit>Custom</Unit>";
    rs.messageBuffer += "\n<CustomUnit>" + EscapeXml(unit) + "</CustomUnit>";
  }
  rs.messageBuffer += "\n<Value>" + EscapeXml(value) + "</Value></Result>\n";
}

void EndDocument(RunState& rs) {
  switch (GroupOf(rs.outputMode)) {
    case ModeGroup::Xml: rs.messageBuffer += "\n</Prtg>\n"; break;
    case ModeGroup::Corvatel:
    case ModeGroup::Tessary: rs.messageBuffer += "\n"; break;
    case ModeGroup::Other: break;
  }
}

}  // namespace fennick
