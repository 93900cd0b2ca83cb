#include "driver/run_ends.h"

#include "driver/group_run.h"
#include "driver/single_run.h"
#include "output/print.h"
#include "platform/clock.h"
#include "platform/standard_output.h"
#include "platform/timer.h"
#include "rfc/handler_report.h"

namespace fennick {

namespace {

// What the timer and the handler need; read and written under the run's
// lock. Never freed: the timer may still look when the process ends.
struct Watched {
  SingleRun* single = nullptr;
  GroupRun* group = nullptr;
  int budgetSeconds = 0;
};

Watched& TheWatched() {
  static Watched* watched = new Watched;
  return *watched;
}

void OnBudgetEnd() {
  // Held until the process ends: nothing else is written from here on.
  StandardOutputLock lock;
  Watched& watched = TheWatched();
  int exitCode = 0;
  // The run has written its last byte: nothing may follow it. It may still
  // be busy (a close that hangs); its end is what it reached.
  if (RunFinishedLocked(exitCode)) EndProcessNow(exitCode);
  if (watched.group) EndGroupAtBudgetLocked(*watched.group, watched.budgetSeconds);
  if (watched.single) EndSingleAtBudgetLocked(*watched.single, watched.budgetSeconds);
}

[[noreturn]] void OnHandlerReport(const HandlerReport& report) {
  StandardOutputLock lock;
  Watched& watched = TheWatched();
  if (watched.group) EndGroupWithHandlerLocked(*watched.group, report);
  if (watched.single) EndSingleWithHandlerLocked(*watched.single, report);
  EndProcessNow(1);
}

}  // namespace

void WatchSingleRun(SingleRun* run) {
  StandardOutputLock lock;
  TheWatched().single = run;
}

void WatchGroupRun(GroupRun* run) {
  StandardOutputLock lock;
  TheWatched().group = run;
}

void ArmTimeBudget(int seconds, int64_t startMilliseconds) {
  {
    StandardOutputLock lock;
    TheWatched().budgetSeconds = seconds;
  }
  const int64_t deadline = startMilliseconds + static_cast<int64_t>(seconds) * 1000;
  StartOneShotTimer(deadline - MonotonicMilliseconds(), OnBudgetEnd);
}

void RouteHandlerReports() { SetHandlerSink(OnHandlerReport); }

}  // namespace fennick
