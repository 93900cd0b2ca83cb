// A system's RFC work written out: its steps as trace lines, its console
// lines. The caller holds the run's lock.
#pragma once

#include <cstddef>

#include "platform/trace_log.h"
#include "rfc/backend.h"

namespace fennick {

// Whether any step was taken on a connection: the system then gets a
// connection number in the trace.
bool UsedConnection(const RfcWork& work);

// Writes the steps from `from` on, those on the connection numbered with
// `connectionNumber`, the others with 0; returns how many are written now.
size_t WriteStepsLocked(TraceLog& trace, const RfcWork& work, size_t from, long connectionNumber);

// Prints the console lines from `from` on; returns how many are printed now.
size_t PrintConsoleLinesLocked(const RfcWork& work, size_t from);

}  // namespace fennick
