// The one writer of standard output. Every write holds the run's lock
// (platform/run_lock.h).
#pragma once

#include <string>

#include "platform/run_lock.h"

namespace fennick {

// Standard output carries bytes exactly as written (no line-end translation).
void PrepareStandardOutput();

// Writes while the caller holds the run's lock; standard error takes the
// plugin form's console lines.
void WriteStandardOutputLocked(const std::string& text) REQUIRES(theRunLock);
void WriteStandardErrorLocked(const std::string& text) REQUIRES(theRunLock);

void FlushStandardOutput() EXCLUDES(theRunLock);
void FlushStandardOutputLocked() REQUIRES(theRunLock);

}  // namespace fennick
