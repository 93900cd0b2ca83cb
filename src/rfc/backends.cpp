#include "rfc/backends.h"

#include "platform/loader.h"
#include "platform/paths.h"
#include "rfc/classic/classic_backend.h"
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

// A library beside the program that did not load because it was built for
// the other width is the usual mix-up of the two Windows builds; it is named
// as such, since "place it beside the program" would send the user to a
// file that is already there.
std::optional<std::string> OtherWidth(const std::string& programPath, const char* fileName) {
  const std::string directory = NativeDirectoryOf(programPath);
  const int own = static_cast<int>(sizeof(void*)) * 8;
  const int width = LibraryFileWidth(directory + fileName);
  if (width == 0 || width == own) return std::nullopt;
  const std::string build = OtherWidthBuildName();
  return "RFC library " + std::string(fileName) + " beside the program is a " + std::to_string(width) +
         "-bit library; the " + std::to_string(own) + "-bit " + programPath.substr(directory.size()) + " needs the " +
         std::to_string(own) + "-bit one" + (build.empty() ? "" : " (or use the " + build + " build)");
}

std::string CannotLoadOne(const std::string& programPath, const char* fileName) {
  return OtherWidth(programPath, fileName).value_or(CannotLoad(fileName, "it"));
}

}  // namespace

bool IsRfcLibraryChoice(const std::string& choice) {
  return choice.empty() || choice == kClassic || choice == kNetWeaver;
}

std::optional<std::string> BindRfcBackend(const std::string& choice, const std::string& programPath,
                                          RfcBackend& backend) {
  if (choice != kNetWeaver) {
    if (void* library = LoadClassicLibrary(programPath)) return MakeClassicBackend(library, backend);
    if (choice == kClassic) return CannotLoadOne(programPath, RfcLibraryFileName());
  }
  if (void* library = LoadNetWeaverLibrary(programPath)) return MakeNetWeaverBackend(library, backend);
  if (choice == kNetWeaver) return CannotLoadOne(programPath, NetWeaverLibraryFileName());
  if (std::optional<std::string> classic = OtherWidth(programPath, RfcLibraryFileName())) return classic;
  if (std::optional<std::string> netWeaver = OtherWidth(programPath, NetWeaverLibraryFileName())) return netWeaver;
  return CannotLoad(std::string(RfcLibraryFileName()) + " or " + NetWeaverLibraryFileName(), "one of them");
}

}  // namespace fennick
