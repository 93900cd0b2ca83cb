#include <windows.h>

#include "platform/clock.h"
#include "platform/stop_signals.h"

namespace fennick {

namespace {

int64_t g_startMilliseconds = 0;
StopCallback g_callback = nullptr;

// The system calls this on a thread of its own. It does not return for
// the events handled: the callback ends the process.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  const int64_t elapsed = MonotonicMilliseconds() - g_startMilliseconds;
  g_callback(static_cast<int>(elapsed > 0 ? elapsed / 1000 : 0));
  return TRUE;
}

}  // namespace

bool CatchStopRequests(int64_t startMilliseconds, StopCallback callback) {
  g_startMilliseconds = startMilliseconds;
  g_callback = callback;
  return SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
}

}  // namespace fennick
