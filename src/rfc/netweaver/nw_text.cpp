#include "rfc/netweaver/nw_text.h"

#include "profile/text_util.h"

namespace fennick {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::vector<NwChar> ToNwText(const std::string& text) {
  std::vector<NwChar> units;
  units.reserve(text.size() + 1);
  for (char c : text) units.push_back(static_cast<unsigned char>(c));
  units.push_back(0);
  return units;
}

std::string FromNwText(const NwChar* text, size_t length) {
  std::string bytes;
  for (size_t i = 0; i < length && text[i] != 0; ++i) {
    bytes += text[i] <= 0xFF ? static_cast<char>(text[i]) : '?';
  }
  return bytes;
}

std::string MessageText(const std::string& message) {
  std::string first;
  bool firstSeen = false;
  for (size_t start = 0; start <= message.size();) {
    size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(start, end - start);
    if (!firstSeen) {
      first = line;
      firstSeen = true;
    }
    if (StartsWith(line, "ERROR") && (line.size() == 5 || IsBlank(line[5]))) return TrimBlanks(line.substr(5));
    start = end + 1;
  }
  return TrimBlanks(first);
}

int64_t PackedTextValue(const std::string& text) { return LeadingInteger(text); }

}  // namespace fennick
