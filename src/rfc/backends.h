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
std::optional<std::string> BindRfcBackend(const std::string& choice, const std::string& programPath,
                                          RfcBackend& backend);

}  // namespace fennick
