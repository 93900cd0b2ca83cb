#include "rfc/classic/packed_decimal.h"

#include "profile/text_util.h"

namespace fennick {

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

}  // namespace fennick
