// Structure layouts built from the descriptors the caller installs, and the
// writing of field values into a caller's record by those layouts.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rfc/classic/rfc_api.h"

namespace rfcsim {

struct FieldLayout {
  std::string name;
  unsigned type = RFC_TYPE_TEXT;
  unsigned length = 0;
  uint64_t offset = 0;
};

struct StructLayout {
  std::string name;
  std::vector<FieldLayout> fields;
  uint64_t size = 0;
};

// Descriptors beyond these limits are refused rather than laid out; no real
// structure comes near them, and they keep every field's bytes small.
constexpr unsigned kMaxFields = 65535;
constexpr unsigned kMaxFieldLength = 65535;

// Fields in descriptor order; a 4-byte integer starts at a multiple of 4,
// everything else at any byte. The size ends on a multiple of 4 when the
// structure holds an integer. The descriptors are only read. Returns false
// (with the reason) when the descriptors cannot be laid out.
bool LayOutStructure(const char* name, const RfcTypeElement* elements, unsigned count, StructLayout& layout,
                     std::string& reason);

// `length` bytes: two digits a byte, high nibble first, the low nibble of the
// last byte the sign (C, or D when negative). Digits that do not fit are
// dropped from the front.
std::string EncodePacked(int64_t value, size_t length);

// What goes into a field. Fields without a value get the initial value of
// their type: blanks for text, zeros for dates, times and integers, packed 0.
struct FieldValue {
  enum Kind { Text, Number, Raw } kind = Text;
  std::string text;    // Text, or the bytes of Raw
  int64_t number = 0;  // Number
};

using FieldValues = std::map<std::string, FieldValue>;

FieldValue TextValue(const std::string& text);
FieldValue NumberValue(int64_t number);
FieldValue RawValue(const std::string& bytes);

// The field's bytes: `field.length` of them.
std::string FieldBytes(const FieldLayout& field, const FieldValue* value);

// Writes every field into `record`, never past `recordLength` bytes.
void FillRecord(const StructLayout& layout, const FieldValues& values, unsigned char* record, uint64_t recordLength);

// Writes `bytes` at `record`, cut to `recordLength`.
void WriteCut(unsigned char* record, uint64_t recordLength, const std::string& bytes);

}  // namespace rfcsim
