// Choosing and binding the RFC library a run uses.
#pragma once

#include <optional>
#include <string>

#include "platform/trace_log.h"
#include "rfc/backend.h"

namespace fennick {

// Loads the RFC library (from the program's own directory first, then the
// platform's library search) and fills `backend` with its operations.
// Returns the message for the error document when it cannot be had.
std::optional<std::string> BindRfcBackend(const std::string& programPath, TraceLog& trace, RfcBackend& backend);

}  // namespace fennick
