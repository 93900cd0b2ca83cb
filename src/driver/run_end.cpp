#include "driver/run_end.h"

#include "output/print.h"
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

void OnBudgetEnd() {
  // Held until the process ends: nothing else is written from here on.
  RunLock lock;
  RunEnd& end = TheRunEnd();
  // The run has written its last byte: nothing may follow it. It may still
  // be busy (a close that hangs); its end is what it reached.
  if (end.finished) EndProcessLocked(end.exitCode);
  if (end.hooks.atBudget) end.hooks.atBudget(end.hooks.run, end.budgetSeconds);
  EndProcessLocked(end.exitCode);
}

void OnHandlerReport(const HandlerReport& report) {
  RunLock lock;
  RunEnd& end = TheRunEnd();
  if (end.hooks.atHandler) end.hooks.atHandler(end.hooks.run, report);
  EndProcessLocked(kExitHandlerReport);
}

}  // namespace

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
  // A result that goes into a file is complete now: it is written whole.
  exitCode = CommitResultLocked(exitCode);
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
  // A finished run ends as it finished, also where its file took nothing.
  RunEnd& end = TheRunEnd();
  if (end.finished) exitCode = end.exitCode;
  FlushStandardOutputLocked();
  EndProcessNow(exitCode);
}

}  // namespace fennick
