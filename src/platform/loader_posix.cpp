#include <dlfcn.h>

#include "platform/files.h"
#include "platform/loader.h"

namespace fennick {

void* LoadSharedLibrary(const std::string& nativePath) { return dlopen(nativePath.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* FindLibraryFunction(void* library, const char* name) { return dlsym(library, name); }

int LibraryFileWidth(const std::string& nativePath) {
  // The identification bytes: the magic number, then the class.
  unsigned char ident[5] = {};
  FilePtr file = OpenForRead(nativePath);
  if (!file || std::fread(ident, 1, sizeof ident, file.get()) != sizeof ident) return 0;
  if (ident[0] != 0x7f || ident[1] != 'E' || ident[2] != 'L' || ident[3] != 'F') return 0;
  return ident[4] == 1 ? 32 : ident[4] == 2 ? 64 : 0;
}

const char* OtherWidthBuildName() { return ""; }

}  // namespace fennick
