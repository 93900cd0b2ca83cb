#include "driver/run_end.h"

#include "output/print.h"
#include "platform/clock.h"
#include "platform/standard_output.h"
#include "platform/timer.h"
#include "rfc/handler_report.h"

namespace fennick {

namespace {

// What the timer and the handler need; read and written under the run's
// lock. Never freed: the timer may still look when the process ends.
struct RunEnd {
  RunEnding ending GUARDED_BY(theRunLock);
  int budgetSeconds GUARDED_BY(theRunLock) = 0;
  bool finished GUARDED_BY(theRunLock) = false;
  int exitCode GUARDED_BY(theRunLock) = kExitSuccess;
};

RunEnd& TheRunEnd() {
  static RunEnd* end = new RunEnd;
  return *end;
}

// Held until the process ends: nothing else is written from here on. A
// run that has written its last byte gets nothing after it; it may still
// be busy (a close that hangs), and its end is what it reached.
[[noreturn]] void EndRun(const OutsideEnd& outside) {
  RunLock lock;
  RunEnd& end = TheRunEnd();
  if (end.finished) EndProcessLocked(end.exitCode);
  if (end.ending) end.ending(outside);
  // Ended before its work began: nothing written, nothing to close, but no
  // success either.
  EndProcessLocked(outside.report ? kExitHandlerReport : kExitError);
}

void OnBudgetEnd() {
  OutsideEnd outside;
  {
    RunLock lock;
    outside.budgetSeconds = TheRunEnd().budgetSeconds;
  }
  EndRun(outside);
}

void OnHandlerReport(const HandlerReport& report) {
  OutsideEnd outside;
  outside.report = &report;
  EndRun(outside);
}

}  // namespace

void EndFromOutside(int seconds) {
  OutsideEnd outside;
  outside.budgetSeconds = seconds;
  EndRun(outside);
}

WatchedRun::WatchedRun(RunEnding ending) {
  RunLock lock;
  TheRunEnd().ending = std::move(ending);
}

WatchedRun::~WatchedRun() {
  RunLock lock;
  TheRunEnd().ending = nullptr;
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
