#include "nw_text.h"

namespace nwsim {

std::string BytesOf(const NwChar* text) {
  std::string bytes;
  if (!text) return bytes;
  for (const NwChar* unit = text; *unit; ++unit) bytes.push_back(*unit > 0xFF ? '?' : static_cast<char>(*unit));
  return bytes;
}

std::vector<NwChar> UnitsOf(const std::string& bytes) {
  std::vector<NwChar> units;
  units.reserve(bytes.size());
  for (char byte : bytes) units.push_back(static_cast<unsigned char>(byte));
  return units;
}

void CopyToField(NwChar* field, size_t size, const std::string& text) {
  if (!field || size == 0) return;
  size_t count = text.size() < size - 1 ? text.size() : size - 1;
  for (size_t i = 0; i < count; ++i) field[i] = static_cast<unsigned char>(text[i]);
  field[count] = 0;
}

}  // namespace nwsim
