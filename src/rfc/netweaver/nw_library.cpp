#include "rfc/netweaver/nw_library.h"

#include "platform/loader.h"
#include "platform/paths.h"

namespace fennick {

namespace {

template <typename Fn>
void Resolve(void* handle, const char* name, Fn& slot, std::string& missing) {
  slot = reinterpret_cast<Fn>(FindLibraryFunction(handle, name));
  if (!slot && missing.empty()) missing = name;
}

}  // namespace

const char* NetWeaverFileName() { return NetWeaverLibraryFileName(); }

void* LoadNetWeaverLibrary(const std::string& programPath) {
  void* handle = LoadSharedLibrary(NativeDirectoryOf(programPath) + NetWeaverFileName());
  if (!handle) handle = LoadSharedLibrary(NetWeaverFileName());
  return handle;
}

std::optional<std::string> ResolveNetWeaverLibrary(void* handle, NwLibrary& library) {
  std::string missing;
  Resolve(handle, "RfcOpenConnection", library.RfcOpenConnection, missing);
  Resolve(handle, "RfcCloseConnection", library.RfcCloseConnection, missing);
  Resolve(handle, "RfcGetFunctionDesc", library.RfcGetFunctionDesc, missing);
  Resolve(handle, "RfcCreateFunction", library.RfcCreateFunction, missing);
  Resolve(handle, "RfcInvoke", library.RfcInvoke, missing);
  Resolve(handle, "RfcDestroyFunction", library.RfcDestroyFunction, missing);
  Resolve(handle, "RfcGetStructure", library.RfcGetStructure, missing);
  Resolve(handle, "RfcGetTable", library.RfcGetTable, missing);
  Resolve(handle, "RfcGetRowCount", library.RfcGetRowCount, missing);
  Resolve(handle, "RfcMoveTo", library.RfcMoveTo, missing);
  Resolve(handle, "RfcGetCurrentRow", library.RfcGetCurrentRow, missing);
  Resolve(handle, "RfcGetChars", library.RfcGetChars, missing);
  Resolve(handle, "RfcGetString", library.RfcGetString, missing);
  Resolve(handle, "RfcGetInt", library.RfcGetInt, missing);
  Resolve(handle, "RfcGetVersion", library.RfcGetVersion, missing);
  if (!missing.empty()) return std::string("RFC library ") + NetWeaverFileName() + " has no function " + missing;
  return std::nullopt;
}

}  // namespace fennick
