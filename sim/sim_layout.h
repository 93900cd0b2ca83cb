// Structure layouts built from the descriptors the caller installs, and the
// writing of field values into a caller's record by those layouts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rfc/classic/rfc_api.h"
#include "sim_values.h"

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

// The field's bytes: `field.length` of them.
std::string FieldBytes(const FieldLayout& field, const FieldValue* value);

// Writes every field into `record`, never past `recordLength` bytes.
void FillRecord(const StructLayout& layout, const FieldValues& values, unsigned char* record, uint64_t recordLength);

// Writes `bytes` at `record`, cut to `recordLength`.
void WriteCut(unsigned char* record, uint64_t recordLength, const std::string& bytes);

}  // namespace rfcsim
