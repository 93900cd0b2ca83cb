// The classic RFC library's functions, bound at run time by their plain names.
#pragma once

#include <optional>
#include <string>

#include "rfc/classic/rfc_api.h"

namespace fennick {

struct RfcLibrary {
  RfcEnvironmentFn RfcEnvironment = nullptr;
  RfcOpenFn RfcOpen = nullptr;
  RfcOpenExFn RfcOpenEx = nullptr;
  RfcCloseFn RfcClose = nullptr;
  RfcLastErrorFn RfcLastError = nullptr;
  RfcInstallStructureFn RfcInstallStructure = nullptr;
  RfcCallFn RfcCall = nullptr;
  RfcReceiveFn RfcReceive = nullptr;
  ItCreateFn ItCreate = nullptr;
  ItFillFn ItFill = nullptr;
  ItGetLineFn ItGetLine = nullptr;
  ItDeleteFn ItDelete = nullptr;
};

// Loads the library from the program's own directory, else through the
// platform's library search. Null when it cannot be loaded.
void* LoadClassicLibrary(const std::string& programPath);

// Resolves every function; returns the message for the error document when
// one is missing.
std::optional<std::string> ResolveClassicLibrary(void* handle, RfcLibrary& library);

}  // namespace fennick
