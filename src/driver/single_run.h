// The single-profile run: one system, whose result is the run's result.
#pragma once

#include <string>

#include "output/result_writer.h"
#include "rfc/backend.h"

namespace fennick {

struct RunState;

// What the time budget's end and the library's handler need of the run.
struct SingleRun {
  RunState& rs;
  ResultWriter endWriter;  // the run's form, for a document the ends write
  RfcWork work;

  // Under the run's lock.
  std::string destination;
  long connectionNumber = 0;
  size_t stepsWritten = 0;
  size_t consoleLinesWritten = 0;
  bool ending = false;     // the result is out but for its end
  std::string pendingEnd;  // that end
  int pendingExitCode = 0;

  explicit SingleRun(RunState& state) : rs(state) {}
};

// Returns the exit code.
int RunSingleProfile(RunState& rs);

// The time budget ran out: Error 1032 while nothing of the result is out,
// else the result completed from what the run holds. The caller holds the
// run's lock; the process ends.
[[noreturn]] void EndSingleAtBudgetLocked(SingleRun& run, int budgetSeconds);

// The library's handler fired. The caller holds the run's lock.
[[noreturn]] void EndSingleWithHandlerLocked(SingleRun& run, const HandlerReport& report);

}  // namespace fennick
