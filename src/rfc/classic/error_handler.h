// The classic library's fatal error handler: hands the library's last error
// to the run's sink, which writes it and ends the process.
#pragma once

#include "rfc/classic/rfc_api.h"

namespace fennick {

struct RfcLibrary;

// The handler reports through the bound library; it needs it before any
// library call can fail.
void SetErrorHandlerLibrary(const RfcLibrary* library);

// Reads the library's last error, closes every connection and hands the
// report to the sink; never returns. Installed with RfcEnvironment, and
// called directly when a structure or an internal table fails.
[[noreturn]] void RFC_CALLCONV RfcErrorHandler(char* operation);

}  // namespace fennick
