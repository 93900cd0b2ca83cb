#include "platform/loader.h"

#include <dlfcn.h>

namespace fennick {

void* LoadSharedLibrary(const std::string& nativePath) { return dlopen(nativePath.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* FindLibraryFunction(void* library, const char* name) { return dlsym(library, name); }

}  // namespace fennick
