#include "nw_fields.h"

namespace nwsim {

bool IsCharacterField(const Field& field) {
  return field.desc.type == FieldType::Char || field.desc.type == FieldType::Date || field.desc.type == FieldType::Time;
}

std::string FieldText(const Field& field) {
  switch (field.desc.type) {
    case FieldType::Char: {
      size_t end = field.bytes.find_last_not_of(' ');
      return end == std::string::npos ? std::string() : field.bytes.substr(0, end + 1);
    }
    case FieldType::Date:
    case FieldType::Time: return field.bytes;
    case FieldType::Int: return std::to_string(field.integer);
    case FieldType::Packed: return PackedText(field.bytes);
  }
  return std::string();
}

std::string PackedText(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  if (bytes.empty()) return "0";
  std::string digits;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    digits.push_back(kDigits[byte >> 4]);
    if (i + 1 < bytes.size()) digits.push_back(kDigits[byte & 0xF]);
  }
  const bool negative = (static_cast<unsigned char>(bytes.back()) & 0xF) == 0xD;
  size_t first = digits.find_first_not_of('0');
  std::string text = first == std::string::npos ? "0" : digits.substr(first);
  return negative ? "-" + text : text;
}

const char* TypeName(FieldType type) {
  switch (type) {
    case FieldType::Char: return "CHAR";
    case FieldType::Date: return "DATE";
    case FieldType::Time: return "TIME";
    case FieldType::Int: return "INT";
    case FieldType::Packed: return "BCD";
  }
  return "?";
}

}  // namespace nwsim
