#include "output/numbers.h"

#include <limits>

namespace fennick {

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

std::string PackedToText(const unsigned char* field, size_t length, unsigned decimals) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    hex += kHex[field[i] >> 4];
    hex += kHex[field[i] & 0x0F];
  }
  if (hex.empty()) return "+";
  std::string text(1, hex.back() == 'D' ? '-' : '+');
  std::string digits = hex.substr(0, hex.size() - 1);
  if (decimals > 0 && decimals <= digits.size()) digits.insert(digits.size() - decimals, ".");
  return text + digits;
}

int64_t PackedValue(const unsigned char* field, size_t length) {
  return LeadingInteger(PackedToText(field, length, 0));
}

std::string GroupThousands(const std::string& digits) {
  if (!digits.empty() && digits[0] == '-') return "-" + GroupThousands(digits.substr(1));
  size_t n = digits.size();
  if (n < 4) return digits;
  if (n <= 6) return digits.substr(0, n - 3) + "." + digits.substr(n - 3);
  return digits.substr(0, n - 6) + "." + digits.substr(n - 6, 3) + "." + digits.substr(n - 3);
}

}  // namespace fennick
