#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/timer.h"

namespace fennick {

bool StartOneShotTimer(int64_t delayMilliseconds, TimerCallback callback) {
  try {
    std::thread([delayMilliseconds, callback] {
      if (delayMilliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMilliseconds));
      callback();
    }).detach();
    return true;
  } catch (...) {
    return false;  // no thread to be had: the run goes on without a budget
  }
}

void EndProcessNow(int code) { _exit(code); }

}  // namespace fennick
