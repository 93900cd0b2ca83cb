#include "rfc/classic/classic_library.h"

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

const char* ClassicLibraryFileName() { return RfcLibraryFileName(); }

void* LoadClassicLibrary(const std::string& programPath) {
  void* handle = LoadSharedLibrary(NativeDirectoryOf(programPath) + ClassicLibraryFileName());
  if (!handle) handle = LoadSharedLibrary(ClassicLibraryFileName());
  return handle;
}

std::optional<std::string> ResolveClassicLibrary(void* handle, RfcLibrary& library) {
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
  if (!missing.empty()) return std::string("RFC library ") + ClassicLibraryFileName() + " has no function " + missing;
  return std::nullopt;
}

}  // namespace fennick
