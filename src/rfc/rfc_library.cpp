#include "rfc/rfc_library.h"

#include "platform/loader.h"
#include "platform/paths.h"

namespace fennick {

namespace {

template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& slot, std::string& missing) {
  slot = reinterpret_cast<Fn>(FindLibraryFunction(handle, name));
  if (!slot && missing.empty()) missing = name;
  return slot != nullptr;
}

}  // namespace

std::optional<std::string> BindRfcLibrary(const std::string& programPath, RfcLibrary& library) {
  const std::string fileName = RfcLibraryFileName();
  void* handle = LoadSharedLibrary(NativeDirectoryOf(programPath) + fileName);
  if (!handle) handle = LoadSharedLibrary(fileName);
  if (!handle) {
    return "RFC library " + fileName + " cannot be loaded: place it beside the program or in the library path";
  }
  std::string missing;
  Resolve(handle, "RfcEnvironment", library.RfcEnvironment, missing);
  Resolve(handle, "RfcOpen", library.RfcOpen, missing);
  Resolve(handle, "RfcOpenEx", library.RfcOpenEx, missing);
  Resolve(handle, "RfcClose", library.RfcClose, missing);
  Resolve(handle, "RfcLastError", library.RfcLastError, missing);
  Resolve(handle, "RfcInstallStructure", library.RfcInstallStructure, missing);
  Resolve(handle, "RfcCall", library.RfcCall, missing);
  Resolve(handle, "RfcReceive", library.RfcReceive, missing);
  Resolve(handle, "ItCreate", library.ItCreate, missing);
  Resolve(handle, "ItFill", library.ItFill, missing);
  Resolve(handle, "ItGetLine", library.ItGetLine, missing);
  Resolve(handle, "ItDelete", library.ItDelete, missing);
  if (!missing.empty()) return "RFC library " + fileName + " has no function " + missing;
  return std::nullopt;
}

}  // namespace fennick
