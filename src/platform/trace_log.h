// The trace of RFC steps: Fennick.Log in the working directory, written only
// when the parameters ask for it with ",SYSLOG".
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/run_lock.h"

namespace fennick {

struct TraceLog {
  bool on = false;
  FilePtr file;
};

// Opens Fennick.Log for appending when `on`; a log that cannot be opened
// only costs the trace, never the result.
void OpenTraceLog(TraceLog& log, bool on);

// One line "<handle> <message> <detail>", appended at once. Written under the
// standard-output lock, as the time budget's end writes here too.
void traceLine(TraceLog& log, long handle, const std::string& message, const std::string& detail);

// The same while the caller holds a RunLock.
void traceLineLocked(TraceLog& log, long handle, const std::string& message, const std::string& detail)
    REQUIRES(theRunLock);

}  // namespace fennick
