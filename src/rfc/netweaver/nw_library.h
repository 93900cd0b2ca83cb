// The NetWeaver RFC library's functions, bound at run time by their plain
// names.
#pragma once

#include <optional>
#include <string>

#include "rfc/netweaver/nwrfc_api.h"

namespace fennick {

struct NwLibrary {
  NwOpenConnectionFn RfcOpenConnection = nullptr;
  NwCloseConnectionFn RfcCloseConnection = nullptr;
  NwGetFunctionDescFn RfcGetFunctionDesc = nullptr;
  NwCreateFunctionFn RfcCreateFunction = nullptr;
  NwInvokeFn RfcInvoke = nullptr;
  NwDestroyFunctionFn RfcDestroyFunction = nullptr;
  NwGetStructureFn RfcGetStructure = nullptr;
  NwGetTableFn RfcGetTable = nullptr;
  NwGetRowCountFn RfcGetRowCount = nullptr;
  NwMoveToFn RfcMoveTo = nullptr;
  NwGetCurrentRowFn RfcGetCurrentRow = nullptr;
  NwGetCharsFn RfcGetChars = nullptr;
  NwGetStringFn RfcGetString = nullptr;
  NwGetIntFn RfcGetInt = nullptr;
  NwGetVersionFn RfcGetVersion = nullptr;
};

// Loads the library from the program's own directory, else through the
// platform's library search: a copy shipped beside the program wins over an
// older one elsewhere. Null when it cannot be loaded.
void* LoadNetWeaverLibrary(const std::string& programPath);

// Resolves every function; returns the message for the error document when
// one is missing.
std::optional<std::string> ResolveNetWeaverLibrary(void* handle, NwLibrary& library);

}  // namespace fennick
