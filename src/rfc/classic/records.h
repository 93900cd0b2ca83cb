// Building the parameter and table lists handed to RfcCall and RfcReceive.
#pragma once

#include <cstring>

#include "rfc/classic/rfc_api.h"

namespace fennick {

inline RfcParameter Parameter(const char* name, unsigned type, unsigned length, void* address) {
  return RfcParameter{const_cast<char*>(name), static_cast<unsigned>(std::strlen(name)), type, length, address};
}

inline RfcTable Table(const char* name, RFC_TYPEHANDLE rowType, unsigned rowLength, RFC_ITAB table) {
  // Passed by reference (mode 0); the library keeps its own field.
  return RfcTable{const_cast<char*>(name), static_cast<unsigned>(std::strlen(name)), rowType, rowLength, table, 0, 0};
}

// Every list ends with a record without a name.
inline RfcParameter EndOfParameters() { return RfcParameter{nullptr, 0, 0, 0, nullptr}; }
inline RfcTable EndOfTables() { return RfcTable{nullptr, 0, 0, 0, nullptr, 0, 0}; }

}  // namespace fennick
