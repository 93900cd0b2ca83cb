#include "rfc/library_binding.h"

#include "platform/paths.h"

namespace fennick {

void* LoadRfcLibrary(const std::string& programPath, const std::string& fileName) {
  // A copy shipped beside the program wins over an older one elsewhere.
  void* library = LoadSharedLibrary(NativeDirectoryOf(programPath) + fileName);
  return library ? library : LoadSharedLibrary(fileName);
}

}  // namespace fennick
