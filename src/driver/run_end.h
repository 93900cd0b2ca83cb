// The run's end: whether its last bytes are out and with which exit code,
// and the two ends that come from outside the run's own road: the time
// budget's timer, and the library's fatal error handler, which the library
// calls from inside any call. The run that is going on says what it writes
// at such an end, through one entry; the ends hold the run's lock and end
// the process.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/run_lock.h"

namespace fennick {

struct HandlerReport;

// The exit codes of the forms without states.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitHandlerReport = 1,  // the library's fatal error handler reported
  kExitError = 2,          // any error document
};

// What ended the run from outside its road.
struct OutsideEnd {
  int budgetSeconds = 0;                  // the time budget, when it ran out
  const HandlerReport* report = nullptr;  // the library's fatal report, when its handler fired
};

// What the run writes at such an end. It is called with the run's lock held,
// only while the run has not written its last bytes, and ends the process.
using RunEnding = std::function<void(const OutsideEnd& end)>;

// The run going on, from its start to its end: set before the budget is
// armed or the library is called, and forgotten when it goes.
class WatchedRun {
 public:
  explicit WatchedRun(RunEnding ending);
  ~WatchedRun();
  WatchedRun(const WatchedRun&) = delete;
  WatchedRun& operator=(const WatchedRun&) = delete;
};

// Starts the timer: a budget of `seconds` from `startMilliseconds` on the
// monotonic clock (the start of the process).
void ArmTimeBudget(int seconds, int64_t startMilliseconds);

// A request to stop from outside (a signal, a console event), `seconds`
// after the start: the run ends as when its time budget runs out then.
void EndFromOutside(int seconds);

// Sends the library's fatal reports to the watched run.
void RouteHandlerReports();

// Marks the run finished once its last bytes are out; flushes them, or
// writes them into the result's file, and keeps the exit code the run ends
// with (the undelivered one where the file took nothing). Called
// in the same hold of the lock as the write of those bytes, so that nothing
// can come after them.
void MarkFinishedLocked(int exitCode) REQUIRES(theRunLock);

// Whether the run has written its last bytes, and with which exit code.
bool RunFinishedLocked(int& exitCode) REQUIRES(theRunLock);

// Flushes standard output and ends the process at once, not waiting for
// threads that may be inside a library call; a finished run ends with the
// exit code it finished with.
[[noreturn]] void EndProcessLocked(int exitCode) REQUIRES(theRunLock);

}  // namespace fennick
