#include <pthread.h>
#include <signal.h>

#include "platform/clock.h"
#include "platform/stop_signals.h"
#include "platform/threads.h"

namespace fennick {

namespace {

struct Watch {
  sigset_t signals;
  int64_t startMilliseconds;
  StopCallback callback;
};

// Waits for the first request and hands it on; a later one stays pending,
// blocked, while the first is handled.
void WaitForRequest(void* argument) {
  const Watch& watch = *static_cast<Watch*>(argument);
  int signal = 0;
  while (sigwait(&watch.signals, &signal) != 0) {
  }
  const int64_t elapsed = MonotonicMilliseconds() - watch.startMilliseconds;
  watch.callback(static_cast<int>(elapsed > 0 ? elapsed / 1000 : 0));
}

}  // namespace

bool CatchStopRequests(int64_t startMilliseconds, StopCallback callback) {
  // Never freed: the waiting thread reads it until the process ends.
  Watch* watch = new Watch{{}, startMilliseconds, callback};
  sigemptyset(&watch->signals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction current = {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;  // nohup
    sigaddset(&watch->signals, signal);
  }
  sigset_t before;
  if (pthread_sigmask(SIG_BLOCK, &watch->signals, &before) != 0) return false;
  if (StartDetachedThread(WaitForRequest, watch)) return true;
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return false;
}

}  // namespace fennick
