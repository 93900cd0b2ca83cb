#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "platform/standard_output.h"

namespace fennick {

namespace {

// Statically initialised and never destroyed: they may be held or waited on
// while the process ends. A condition variable waits on no handle, so the
// group run is not bound by the 64 handles WaitForMultipleObjects takes.
SRWLOCK g_outputLock = SRWLOCK_INIT;
CONDITION_VARIABLE g_change = CONDITION_VARIABLE_INIT;

}  // namespace

// The monitor reads the same bytes on every platform: lines end in LF.
void PrepareStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

RunLock::RunLock() { AcquireSRWLockExclusive(&g_outputLock); }

RunLock::~RunLock() { ReleaseSRWLockExclusive(&g_outputLock); }

void WaitLocked() { SleepConditionVariableSRW(&g_change, &g_outputLock, INFINITE, 0); }

void WakeWaitersLocked() { WakeAllConditionVariable(&g_change); }

}  // namespace fennick
