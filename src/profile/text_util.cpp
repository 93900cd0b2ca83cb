#include "profile/text_util.h"

#include <limits>

namespace fennick {

std::string ToUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int64_t LeadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const int64_t limit = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (value > (limit - digit) / 10) {
      value = limit;
      for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      }
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

std::optional<std::string> KeywordValue(const std::string& parameterString, const std::string& parameterText,
                                        const std::string& keyword) {
  size_t at = parameterString.find(keyword);
  if (at == std::string::npos) return std::nullopt;
  size_t start = at + keyword.size();
  if (start >= parameterText.size()) return std::string();
  return parameterText.substr(start, parameterText.find_first_of(", ", start) - start);
}

std::string TrimBlanks(const std::string& text) {
  const char kBlanks[] = " \t\r";
  size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

}  // namespace fennick
