// The function modules the NetWeaver stand-in knows, described as the
// library hands them out: parameters, and the fields of structures and
// table rows.
#pragma once

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

// RFC_SYSTEM_INFO or DB_ORA_CURRENT_SIZES, else null. Descriptions live as
// long as the process: the library caches them and never destroys one.
NwFunctionDescRecord* FindDescription(const std::string& name);

// Whether `handle` is one of the descriptions handed out.
bool IsDescription(const NwFunctionDescRecord* handle);

}  // namespace nwsim
