// Logging on to the SAP system of the current entry.
#pragma once

#include "rfc/rfc_api.h"

namespace fennick {

struct RunState;

// Logs on with RfcOpen, or with RfcOpenEx when a parameter file
// "SapRfc.<destination>" lies in the working directory (it is copied to
// "SapRfc.ini" for the library first). Returns 0 when no connection came about.
RFC_HANDLE OpenConnection(RunState& rs);

// Closes the connection when there is one.
void CloseConnection(RunState& rs, RFC_HANDLE handle);

}  // namespace fennick
