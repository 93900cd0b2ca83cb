// The function modules the NetWeaver stand-in knows, described as the
// library hands them out: parameters, and the fields of structures and
// table rows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rfc/netweaver/nwrfc_api.h"

namespace nwsim {

enum class FieldType { Char, Date, Time, Int, Packed };

struct FieldDesc {
  std::string name;
  FieldType type = FieldType::Char;
  unsigned length = 0;  // characters, or bytes of a packed field
};

struct ParameterDesc {
  enum Kind { Field, Structure, Table } kind = Field;
  std::string name;
  FieldDesc field;                // Field: the parameter itself
  std::vector<FieldDesc> fields;  // Structure, or a Table's row
};

}  // namespace nwsim

struct NwFunctionDescRecord {
  std::string name;
  std::vector<nwsim::ParameterDesc> parameters;
};

namespace nwsim {

// RFC_SYSTEM_INFO or DB_ORA_CURRENT_SIZES with the system's CHAR field
// widths (by field name), else null. Systems that agree on the widths share
// one description. Descriptions live as long as the process: the library
// caches them and never destroys one. Under the state lock.
NwFunctionDescRecord* FindDescription(const std::string& name, const std::map<std::string, int32_t>& widths);

// Whether `handle` is one of the descriptions handed out.
bool IsDescription(const NwFunctionDescRecord* handle);

}  // namespace nwsim
