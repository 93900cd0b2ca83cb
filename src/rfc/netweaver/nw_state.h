// What the NetWeaver back end keeps for the run: the bound library, read
// only once bound, so that every thread may use it. What a failure leaves
// belongs to the system's work.
#pragma once

#include <string>

#include "rfc/backend.h"
#include "rfc/netweaver/nw_library.h"

namespace fennick {

struct NwState {
  NwLibrary library;
};

// Gives the step's result for a failure, mapped so that both libraries give
// the same error numbers: 5 an exception with its key, 3 and 4 a system
// exception, 1, 2, 6, 7 and 8 a failure, anything else another failure. The
// error record's text goes into the work for the error document (nothing
// for an exception or an empty text).
StepResult Failed(RfcWork& work, const NwErrorInfo& error);

// A failure the program finds itself, before the library is asked.
void Refused(RfcWork& work, const std::string& text);

}  // namespace fennick
