// Data containers: a function with its parameters, a structure, a table of
// rows. A function owns all the containers within it. The caller holds each
// by a handle that is a number never given out twice, so a stale handle
// stays stale even when the allocator hands the memory to a new container.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
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
  std::string name;                                       // function module or parameter
  std::vector<nwsim::Field> fields;                       // a function's elementary parameters, a structure's fields
  std::vector<std::unique_ptr<NwContainerRecord>> parts;  // a function's structures and tables, a table's rows
  std::vector<nwsim::FieldDesc> rowFields;                // Table
  size_t current = 0;                                     // Table: the current row
  uintptr_t handle = 0;                                   // what the caller holds
};

namespace nwsim {

using LiveContainers = std::map<uintptr_t, NwContainerRecord*>;

// The handle the caller gets for a container.
NwContainerRecord* HandleOf(const NwContainerRecord* container);

// A handle number for a new container or connection, never given out
// twice; taken under the state lock.
uintptr_t NewHandleNumber();

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
