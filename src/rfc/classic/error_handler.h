// The classic library's fatal error handler: prints the library's last
// error and ends the process with exit code 1.
#pragma once

#include <string>

#include "rfc/classic/rfc_api.h"

namespace fennick {

struct RfcLibrary;

// The handler reports through the bound library; it needs it before any
// library call can fail.
void SetErrorHandlerLibrary(const RfcLibrary* library);

// Prints the library's last error, closes every connection and ends the
// process with exit code 1. Installed with RfcEnvironment, and called
// directly when a structure or an internal table fails.
[[noreturn]] void RFC_CALLCONV RfcErrorHandler(char* operation);

// `indent` blanks, the label left-aligned in `width` columns, " : ", the text.
std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text);

}  // namespace fennick
