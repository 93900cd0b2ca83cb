// Logging on to the SAP system of the current entry through the classic library.
#pragma once

#include "rfc/backend.h"
#include "rfc/classic/classic_state.h"

namespace fennick {

// Logs on with RfcOpen, or with RfcOpenEx when a parameter file
// "SapRfc.<destination>" lies in the working directory (it is copied to
// "SapRfc.ini" for the library first). Returns 0 when no connection came about.
RFC_HANDLE OpenConnection(ClassicState& state, const LogonRequest& request, RfcWork& work);

}  // namespace fennick
