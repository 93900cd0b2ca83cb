// Loading a shared library at run time and finding its functions.
#pragma once

#include <string>

namespace fennick {

// Returns the library handle, or null when it cannot be loaded.
void* LoadSharedLibrary(const std::string& nativePath);

// Returns the address of a function exported under its plain name, or null.
void* FindLibraryFunction(void* library, const char* name);

// The width in bits (32 or 64) of the code in a library file of this
// platform's kind, from its header (ELF class; PE optional header); 0 when
// the file is missing, unreadable or of another kind. Asked only after a
// load failed, to name a library built for the other width.
int LibraryFileWidth(const std::string& nativePath);

// What users call the program build of the other width where one ships
// ("x64" beside the 32-bit Windows program), empty where none does.
const char* OtherWidthBuildName();

}  // namespace fennick
