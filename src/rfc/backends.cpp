#include "rfc/backends.h"

#include "rfc/classic/classic_backend.h"
#include "rfc/classic/classic_library.h"

namespace fennick {

namespace {

std::string CannotLoad(const std::string& names) {
  return "RFC library " + names + " cannot be loaded: place it beside the program or in the library path";
}

}  // namespace

std::optional<std::string> BindRfcBackend(const std::string& programPath, TraceLog& trace, RfcBackend& backend) {
  void* library = LoadClassicBackendLibrary(programPath);
  if (!library) return CannotLoad(ClassicLibraryFileName());
  return MakeClassicBackend(library, trace, backend);
}

}  // namespace fennick
