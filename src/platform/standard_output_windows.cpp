#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "platform/standard_output.h"

namespace fennick {

namespace {

// Statically initialised and never destroyed: it may be held while the
// process ends.
SRWLOCK g_outputLock = SRWLOCK_INIT;

}  // namespace

// The monitor reads the same bytes on every platform: lines end in LF.
void PrepareStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

StandardOutputLock::StandardOutputLock() { AcquireSRWLockExclusive(&g_outputLock); }

StandardOutputLock::~StandardOutputLock() { ReleaseSRWLockExclusive(&g_outputLock); }

}  // namespace fennick
