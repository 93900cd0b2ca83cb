// The classic RFC library (librfc32.dll / librfccm.so) as a back end.
#pragma once

#include <optional>
#include <string>

#include "rfc/backend.h"

namespace fennick {

// Fills `backend` with the classic library's operations over the loaded
// library. The message for the error document when a function is missing.
std::optional<std::string> MakeClassicBackend(void* library, RfcBackend& backend);

}  // namespace fennick
