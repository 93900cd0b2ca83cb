// Choosing and binding the RFC library a run uses.
#pragma once

#include <optional>
#include <string>

#include "rfc/backend.h"

namespace fennick {

// The installation's choice: "classic", "netweaver", or empty for the
// classic library when it loads and the NetWeaver library otherwise.
bool IsRfcLibraryChoice(const std::string& choice);

// Loads the chosen RFC library (from the program's own directory first,
// then the platform's library search) and fills `backend` with its
// operations. Returns the message for the error document when it cannot be
// had; with the automatic choice it names both libraries. A library beside
// the program that is built for the other width is named as such.
// A library that keeps files of its own (its parameter copy, its trace)
// keeps them in `filesDirectory`, ending in a separator; empty for the
// working directory.
std::optional<std::string> BindRfcBackend(const std::string& choice, const std::string& programPath,
                                          RfcBackend& backend, const std::string& filesDirectory = "");

}  // namespace fennick
