#include "rfc/backends.h"

#include "rfc/classic/classic_backend.h"
#include "platform/paths.h"
#include "rfc/classic/classic_library.h"
#include "rfc/netweaver/nw_backend.h"
#include "rfc/netweaver/nw_library.h"

namespace fennick {

namespace {

const char kClassic[] = "classic";
const char kNetWeaver[] = "netweaver";

std::string CannotLoad(const std::string& names, const char* where) {
  return "RFC library " + names + " cannot be loaded: place " + where + " beside the program or in the library path";
}

}  // namespace

bool IsRfcLibraryChoice(const std::string& choice) {
  return choice.empty() || choice == kClassic || choice == kNetWeaver;
}

std::optional<std::string> BindRfcBackend(const std::string& choice, const std::string& programPath,
                                          RfcBackend& backend) {
  if (choice != kNetWeaver) {
    if (void* library = LoadClassicLibrary(programPath)) return MakeClassicBackend(library, backend);
    if (choice == kClassic) return CannotLoad(RfcLibraryFileName(), "it");
  }
  if (void* library = LoadNetWeaverLibrary(programPath)) return MakeNetWeaverBackend(library, backend);
  if (choice == kNetWeaver) return CannotLoad(NetWeaverLibraryFileName(), "it");
  return CannotLoad(std::string(RfcLibraryFileName()) + " or " + NetWeaverLibraryFileName(), "one of them");
}

}  // namespace fennick
