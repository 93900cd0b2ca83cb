// Binding an RFC library at run time, the same for both libraries: the
// program's own directory first, then the platform's library search, and
// each function by its plain name.
#pragma once

#include <string>

#include "platform/loader.h"

namespace fennick {

// Null when the library cannot be loaded from either place.
void* LoadRfcLibrary(const std::string& programPath, const std::string& fileName);

// Resolves one function into `slot`; the first one missing is kept in `missing`.
template <typename Fn>
void ResolveFunction(void* library, const char* name, Fn& slot, std::string& missing) {
  slot = reinterpret_cast<Fn>(FindLibraryFunction(library, name));
  if (!slot && missing.empty()) missing = name;
}

}  // namespace fennick
