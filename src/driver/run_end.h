// The run's end: whether its last bytes are out and with which exit code,
// and the two ends that come from outside the run's own road: the time
// budget's timer, and the library's fatal error handler, which the library
// calls from inside any call. Each kind of run registers what it does at
// those two ends; the ends hold the run's lock and end the process.
#pragma once

#include <cstdint>

namespace fennick {

struct HandlerReport;

// The exit codes of the forms without states.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitHandlerReport = 1,  // the library's fatal error handler reported
  kExitError = 2,          // any error document
};

// What the run that is going on does at the two outside ends. Both are
// called with the run's lock held and end the process.
struct RunEndHooks {
  void* run = nullptr;
  void (*atBudget)(void* run, int budgetSeconds) = nullptr;
  void (*atHandler)(void* run, const HandlerReport& report) = nullptr;
};

// Set before the budget is armed or the library is called.
void WatchRun(const RunEndHooks& hooks);

// Starts the timer: a budget of `seconds` from `startMilliseconds` on the
// monotonic clock (the start of the process).
void ArmTimeBudget(int seconds, int64_t startMilliseconds);

// Sends the library's fatal reports to the watched run.
void RouteHandlerReports();

// Marks the run finished once its last bytes are out; flushes them, or
// writes them into the result's file, and keeps the exit code the run ends
// with (the undelivered one where the file took nothing). Called
// in the same hold of the lock as the write of those bytes, so that nothing
// can come after them.
void MarkFinishedLocked(int exitCode);

// Whether the run has written its last bytes, and with which exit code.
bool RunFinishedLocked(int& exitCode);

// Flushes standard output and ends the process at once, not waiting for
// threads that may be inside a library call; a finished run ends with the
// exit code it finished with.
[[noreturn]] void EndProcessLocked(int exitCode);

}  // namespace fennick
