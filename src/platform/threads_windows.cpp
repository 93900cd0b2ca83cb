#include <process.h>
#include <windows.h>

#include "platform/threads.h"

namespace fennick {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

unsigned __stdcall Run(void* start) {
  Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.argument);
  return 0;
}

}  // namespace

// _beginthreadex rather than CreateThread: the thread uses the C runtime.
bool StartDetachedThread(ThreadBody body, void* argument) {
  Start* start = new Start{body, argument};
  uintptr_t thread = _beginthreadex(nullptr, 0, Run, start, 0, nullptr);
  if (thread == 0) {
    delete start;
    return false;
  }
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

void ParkThisThread() {
  for (;;) Sleep(INFINITE);
}

}  // namespace fennick
