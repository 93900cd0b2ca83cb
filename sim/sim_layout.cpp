#include "sim_layout.h"

#include <cstring>

namespace rfcsim {

namespace {

const uint64_t kIntAlignment = 4;

std::string IntBytes(int64_t number, size_t length) {
  // Native byte order, as the caller reads its own integers.
  int32_t value = static_cast<int32_t>(number);
  std::string bytes(length, '\0');
  std::memcpy(&bytes[0], &value, length < sizeof value ? length : sizeof value);
  return bytes;
}

std::string TextBytes(const std::string& text, size_t length) {
  std::string bytes = text.substr(0, length);
  bytes.resize(length, ' ');
  return bytes;
}

}  // namespace

bool LayOutStructure(const char* name, const RfcTypeElement* elements, unsigned count, StructLayout& layout,
                     std::string& reason) {
  layout = StructLayout();
  layout.name = name ? name : "";
  if (count > kMaxFields) {
    reason = "too many fields";
    return false;
  }
  if (count > 0 && !elements) {
    reason = "no field descriptors";
    return false;
  }
  uint64_t offset = 0;
  bool hasInt = false;
  for (unsigned i = 0; i < count; ++i) {
    const RfcTypeElement& element = elements[i];
    if (element.length > kMaxFieldLength) {
      reason = "field too long";
      return false;
    }
    FieldLayout field;
    field.name = element.name ? element.name : "";
    field.type = element.type;
    field.length = element.length;
    if (field.type == RFC_TYPE_INT) {
      hasInt = true;
      offset = (offset + kIntAlignment - 1) / kIntAlignment * kIntAlignment;
    }
    field.offset = offset;
    offset += field.length;
    layout.fields.push_back(field);
  }
  if (hasInt) offset = (offset + kIntAlignment - 1) / kIntAlignment * kIntAlignment;
  layout.size = offset;
  return true;
}

std::string FieldBytes(const FieldLayout& field, const FieldValue* value) {
  const size_t length = field.length;
  if (value && value->kind == FieldValue::Raw) {
    std::string bytes = value->text.substr(0, length);
    bytes.resize(length, '\0');
    return bytes;
  }
  int64_t number = value && value->kind == FieldValue::Number ? value->number : 0;
  switch (field.type) {
    case RFC_TYPE_INT: return IntBytes(number, length);
    case RFC_TYPE_PACKED: return EncodePacked(number, length);
    case RFC_TYPE_DATE:
    case RFC_TYPE_TIME:
      if (value && value->kind == FieldValue::Text) return TextBytes(value->text, length);
      return std::string(length, '0');
    case RFC_TYPE_TEXT:
      if (value && value->kind == FieldValue::Text) return TextBytes(value->text, length);
      if (value) return TextBytes(std::to_string(number), length);
      return std::string(length, ' ');
    default: return std::string(length, '\0');
  }
}

void WriteCut(unsigned char* record, uint64_t recordLength, const std::string& bytes) {
  if (!record) return;
  uint64_t count = bytes.size() < recordLength ? bytes.size() : recordLength;
  if (count > 0) std::memcpy(record, bytes.data(), static_cast<size_t>(count));
}

void FillRecord(const StructLayout& layout, const FieldValues& values, unsigned char* record, uint64_t recordLength) {
  if (!record) return;
  for (const FieldLayout& field : layout.fields) {
    if (field.offset >= recordLength) continue;
    auto found = values.find(field.name);
    const FieldValue* value = found == values.end() ? nullptr : &found->second;
    WriteCut(record + field.offset, recordLength - field.offset, FieldBytes(field, value));
  }
}

}  // namespace rfcsim
