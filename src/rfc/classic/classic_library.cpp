#include "rfc/classic/classic_library.h"

#include "platform/paths.h"
#include "rfc/library_binding.h"

namespace fennick {

void* LoadClassicLibrary(const std::string& programPath) { return LoadRfcLibrary(programPath, RfcLibraryFileName()); }

std::optional<std::string> ResolveClassicLibrary(void* handle, RfcLibrary& library) {
  std::string missing;
  ResolveFunction(handle, "RfcEnvironment", library.RfcEnvironment, missing);
  ResolveFunction(handle, "RfcOpen", library.RfcOpen, missing);
  ResolveFunction(handle, "RfcOpenEx", library.RfcOpenEx, missing);
  ResolveFunction(handle, "RfcClose", library.RfcClose, missing);
  ResolveFunction(handle, "RfcLastError", library.RfcLastError, missing);
  ResolveFunction(handle, "RfcInstallStructure", library.RfcInstallStructure, missing);
  ResolveFunction(handle, "RfcCall", library.RfcCall, missing);
  ResolveFunction(handle, "RfcReceive", library.RfcReceive, missing);
  ResolveFunction(handle, "ItCreate", library.ItCreate, missing);
  ResolveFunction(handle, "ItFill", library.ItFill, missing);
  ResolveFunction(handle, "ItGetLine", library.ItGetLine, missing);
  ResolveFunction(handle, "ItDelete", library.ItDelete, missing);
  if (!missing.empty()) return std::string("RFC library ") + RfcLibraryFileName() + " has no function " + missing;
  return std::nullopt;
}

}  // namespace fennick
