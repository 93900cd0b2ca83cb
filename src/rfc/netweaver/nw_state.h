// What the NetWeaver back end keeps for the run: the bound library and the
// last failure, whose text goes into the error document.
#pragma once

#include <string>

#include "platform/trace_log.h"
#include "rfc/backend.h"
#include "rfc/netweaver/nw_library.h"

namespace fennick {

struct NwFailure {
  int code = 0;      // the library's RFC_RC
  std::string key;   // the exception name for code 5
  std::string text;  // the message's text for the error document
};

struct NwState {
  NwLibrary library;
  TraceLog* trace = nullptr;
  long connectionsOpened = 0;
  long connectionNumber = 0;  // the open connection's number in the trace
  NwFailure failure;
};

// Keeps the error record's code, key and text as the last failure and
// gives the step's result, mapped so that both libraries give the same
// error numbers: 5 an exception with its key, 3 and 4 a system exception,
// 1, 2, 6, 7 and 8 a failure, anything else another failure.
StepResult Failed(NwState& state, const NwErrorInfo& error);

// " - " and the last failure's text; nothing for an exception or an empty text.
std::string FailureSuffix(const NwState& state);

}  // namespace fennick
