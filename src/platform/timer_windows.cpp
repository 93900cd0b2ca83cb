#include <windows.h>

#include "platform/timer.h"

namespace fennick {

namespace {

VOID CALLBACK OnTimer(PVOID parameter, BOOLEAN) {
  TimerCallback callback = reinterpret_cast<TimerCallback>(parameter);
  callback();
}

}  // namespace

// A timer-queue timer: the Win32 API, so the program still needs no DLL
// beyond KERNEL32 and msvcrt.
bool StartOneShotTimer(int64_t delayMilliseconds, TimerCallback callback) {
  HANDLE timer = nullptr;
  DWORD due = delayMilliseconds <= 0           ? 0
              : delayMilliseconds > 0x7FFFFFFF ? 0x7FFFFFFF
                                               : static_cast<DWORD>(delayMilliseconds);
  return CreateTimerQueueTimer(&timer, nullptr, OnTimer, reinterpret_cast<PVOID>(callback), due, 0,
                               WT_EXECUTEONLYONCE) != 0;
}

void EndProcessNow(int code) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  ExitProcess(static_cast<UINT>(code));  // not reached
}

}  // namespace fennick
