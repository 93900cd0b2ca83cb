// Data containers: a function with its parameters, a structure, a table of
// rows. A function owns all the containers within it; each is a handle the
// caller holds, valid while it is in the live set.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "nw_descriptions.h"
#include "rfc/netweaver/nwrfc_api.h"
#include "sim_values.h"

namespace nwsim {

struct Field {
  FieldDesc desc;
  std::string bytes;    // Char, Date, Time: the characters; Packed: the bytes
  int32_t integer = 0;  // Int
};

}  // namespace nwsim

struct NwContainerRecord {
  enum Kind { Function, Structure, Table } kind = Structure;
  std::string name;                   // function module or parameter
  std::vector<nwsim::Field> fields;   // a function's elementary parameters, a structure's fields
  std::vector<std::unique_ptr<NwContainerRecord>> parts;  // a function's structures and tables, a table's rows
  std::vector<nwsim::FieldDesc> rowFields;                // Table
  size_t current = 0;                                     // Table: the current row
};

namespace nwsim {

using LiveContainers = std::set<const NwContainerRecord*>;

// A function with every parameter at its initial value and empty tables.
NwContainerRecord* CreateFunction(const NwFunctionDescRecord& description, LiveContainers& live);

// Takes the function and all within it out of the live set and frees them.
void DestroyFunction(NwContainerRecord* function, LiveContainers& live);

// The field's initial value, or `value` in the field's type.
Field MakeField(const FieldDesc& desc, const rfcsim::FieldValue* value);

// Sets every field named in `values`; the others keep theirs.
void SetFields(NwContainerRecord& container, const rfcsim::FieldValues& values);

// A table's rows: dropped (their handles die), or a new one at the end with
// its fields set from `values`. The first row is the current one.
void ClearRows(NwContainerRecord& table, LiveContainers& live);
void AppendRow(NwContainerRecord& table, const rfcsim::FieldValues& values, LiveContainers& live);

// The live container behind a handle, else null.
NwContainerRecord* FindContainer(const LiveContainers& live, NwContainerRecord* handle);

// By name, case-sensitive; null when there is none.
Field* FindField(NwContainerRecord& container, const std::string& name);
NwContainerRecord* FindPart(NwContainerRecord& container, const std::string& name);

// A table's current row, null when it has none.
NwContainerRecord* CurrentRow(NwContainerRecord& table);

}  // namespace nwsim
