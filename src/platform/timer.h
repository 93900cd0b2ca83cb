// A one-shot timer on a thread of its own, and the end of the process
// without waiting for anything.
#pragma once

#include <cstdint>

namespace fennick {

using TimerCallback = void (*)();

// Calls `callback` once, on another thread, `delayMilliseconds` from now.
// The process may end before; nothing waits for the timer. False when no
// timer could be started.
bool StartOneShotTimer(int64_t delayMilliseconds, TimerCallback callback);

// Ends the process at once with `code`: no handler runs and no thread is
// waited for, not even one blocked inside a library. Standard output must
// be flushed first.
[[noreturn]] void EndProcessNow(int code);

}  // namespace fennick
