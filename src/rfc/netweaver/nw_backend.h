// SAP's NetWeaver RFC library (sapnwrfc.dll / libsapnwrfc.so) as a back end.
#pragma once

#include <optional>
#include <string>

#include "rfc/backend.h"

namespace fennick {

// Fills `backend` with the NetWeaver library's operations over the loaded
// library. The message for the error document when a function is missing.
std::optional<std::string> MakeNetWeaverBackend(void* library, RfcBackend& backend);

}  // namespace fennick
