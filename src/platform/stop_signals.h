// The requests to stop that come from outside the process: SIGTERM, SIGINT
// and SIGHUP on POSIX; Ctrl+C, Ctrl+Break and the console's close on
// Windows. Monitors send them when their own time limit runs out.
#pragma once

#include <cstdint>

namespace fennick {

using StopCallback = void (*)(int seconds);

// From now on a request to stop calls `callback` once, on a thread of its
// own (never inside a signal handler), with the whole seconds since
// `startMilliseconds` on the monotonic clock; the callback ends the
// process. Call before any other thread is started: on POSIX the signals
// are blocked here, and threads started later inherit that. A signal the
// process was started to ignore stays ignored. False when it could not be
// set up; the requests then end the process as they always would.
bool CatchStopRequests(int64_t startMilliseconds, StopCallback callback);

}  // namespace fennick
