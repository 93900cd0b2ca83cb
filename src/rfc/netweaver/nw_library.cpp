#include "rfc/netweaver/nw_library.h"

#include "platform/paths.h"
#include "rfc/library_binding.h"

namespace fennick {

void* LoadNetWeaverLibrary(const std::string& programPath) {
  return LoadRfcLibrary(programPath, NetWeaverLibraryFileName());
}

std::optional<std::string> ResolveNetWeaverLibrary(void* handle, NwLibrary& library) {
  std::string missing;
  ResolveFunction(handle, "RfcOpenConnection", library.RfcOpenConnection, missing);
  ResolveFunction(handle, "RfcCloseConnection", library.RfcCloseConnection, missing);
  ResolveFunction(handle, "RfcGetFunctionDesc", library.RfcGetFunctionDesc, missing);
  ResolveFunction(handle, "RfcCreateFunction", library.RfcCreateFunction, missing);
  ResolveFunction(handle, "RfcInvoke", library.RfcInvoke, missing);
  ResolveFunction(handle, "RfcDestroyFunction", library.RfcDestroyFunction, missing);
  ResolveFunction(handle, "RfcGetStructure", library.RfcGetStructure, missing);
  ResolveFunction(handle, "RfcGetTable", library.RfcGetTable, missing);
  ResolveFunction(handle, "RfcGetRowCount", library.RfcGetRowCount, missing);
  ResolveFunction(handle, "RfcMoveTo", library.RfcMoveTo, missing);
  ResolveFunction(handle, "RfcGetCurrentRow", library.RfcGetCurrentRow, missing);
  ResolveFunction(handle, "RfcGetChars", library.RfcGetChars, missing);
  ResolveFunction(handle, "RfcGetString", library.RfcGetString, missing);
  ResolveFunction(handle, "RfcGetInt", library.RfcGetInt, missing);
  ResolveFunction(handle, "RfcGetVersion", library.RfcGetVersion, missing);
  if (!missing.empty()) return std::string("RFC library ") + NetWeaverLibraryFileName() + " has no function " + missing;
  return std::nullopt;
}

}  // namespace fennick
