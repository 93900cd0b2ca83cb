#include "rfc/tablespace_row.h"

#include <limits>

namespace fennick {

std::string TrimFieldBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::optional<int64_t> AutoextendKbOf(const std::string& text) {
  const std::string digits = TrimFieldBlanks(text);
  if (digits.empty()) return std::nullopt;
  const int64_t limit = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (char c : digits) {
    // Compared by hand: isdigit would follow the locale and take sign bytes.
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value > (limit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace fennick
