#include "driver/run_end.h"

#include "platform/clock.h"
#include "platform/run_lock.h"
#include "platform/standard_output.h"
#include "platform/timer.h"
#include "rfc/handler_report.h"

namespace fennick {

namespace {

// What the timer and the handler need; read and written under the run's
// lock. Never freed: the timer may still look when the process ends.
struct RunEnd {
  RunEndHooks hooks;
  int budgetSeconds = 0;
  bool finished = false;
  int exitCode = kExitSuccess;
};

RunEnd& TheRunEnd() {
  static RunEnd* end = new RunEnd;
  return *end;
}

// The budget's end after `seconds`.
void EndAsBudget(bool fromBudget, int seconds) {
  // Held until the process ends: nothing else is written from here on.
  RunLock lock;
  RunEnd& end = TheRunEnd();
  // The run has written its last byte: nothing may follow it. It may still
  // be busy (a close that hangs); its end is what it reached.
  if (end.finished) EndProcessLocked(end.exitCode);
  if (end.hooks.atBudget) end.hooks.atBudget(end.hooks.run, fromBudget ? end.budgetSeconds : seconds);
  // Ended from outside before its work began: nothing written, nothing to
  // close, but no success either.
  EndProcessLocked(end.hooks.atBudget ? end.exitCode : kExitError);
}

void OnBudgetEnd() { EndAsBudget(true, 0); }

void OnHandlerReport(const HandlerReport& report) {
  RunLock lock;
  RunEnd& end = TheRunEnd();
  if (end.hooks.atHandler) end.hooks.atHandler(end.hooks.run, report);
  EndProcessLocked(kExitHandlerReport);
}

}  // namespace

void EndFromOutside(int seconds) { EndAsBudget(false, seconds); }

void WatchRun(const RunEndHooks& hooks) {
  RunLock lock;
  TheRunEnd().hooks = hooks;
}

void ArmTimeBudget(int seconds, int64_t startMilliseconds) {
  {
    RunLock lock;
    TheRunEnd().budgetSeconds = seconds;
  }
  const int64_t deadline = startMilliseconds + static_cast<int64_t>(seconds) * 1000;
  StartOneShotTimer(deadline - MonotonicMilliseconds(), OnBudgetEnd);
}

void RouteHandlerReports() { SetHandlerSink(OnHandlerReport); }

void MarkFinishedLocked(int exitCode) {
  FlushStandardOutputLocked();
  RunEnd& end = TheRunEnd();
  end.finished = true;
  end.exitCode = exitCode;
}

bool RunFinishedLocked(int& exitCode) {
  exitCode = TheRunEnd().exitCode;
  return TheRunEnd().finished;
}

void EndProcessLocked(int exitCode) {
  FlushStandardOutputLocked();
  EndProcessNow(exitCode);
}

}  // namespace fennick
