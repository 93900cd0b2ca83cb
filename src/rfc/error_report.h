// Turning RFC failures into text: the fatal error handler, the messages for
// remote-call results, and the last error text of the library's trace file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "rfc/rfc_api.h"

namespace fennick {

struct RfcLibrary;
struct RunState;

// The handler reports through the bound library; it needs it before any
// library call can fail.
void SetErrorHandlerLibrary(const RfcLibrary* library);

// Prints the library's last error, closes every connection and ends the
// process with exit code 1. Installed with RfcEnvironment, and called
// directly when a structure or an internal table fails.
[[noreturn]] void RFC_CALLCONV RfcErrorHandler(char* operation);

// The message for a remote call's result code; empty for 0.
std::string ResultMessage(int code, const std::string& exception);
void AppendResultMessage(RunState& rs, int code, const std::string& exception);

// The last error text of an open trace file; empty when there is none.
std::string LastTraceErrorText(std::FILE* traceFile);

// The names the library's trace file may have here, the first read first.
std::vector<std::string> LibraryTraceFiles();

// Appends " - " and the last error text of Dev_Rfc.Trc, or a hint.
void AppendTraceError(RunState& rs);

}  // namespace fennick
