// Loading a shared library at run time and finding its functions.
#pragma once

#include <string>

namespace fennick {

// Returns the library handle, or null when it cannot be loaded.
void* LoadSharedLibrary(const std::string& nativePath);

// Returns the address of a function exported under its plain name, or null.
void* FindLibraryFunction(void* library, const char* name);

}  // namespace fennick
