#include "platform/loader.h"

#include <windows.h>

namespace fennick {

void* LoadSharedLibrary(const std::string& nativePath) {
  return reinterpret_cast<void*>(LoadLibraryA(nativePath.c_str()));
}

void* FindLibraryFunction(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace fennick
