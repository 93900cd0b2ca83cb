// The run's time budget (",TIMEOUT=n"). When it runs out while a remote
// step is still waiting, a timer thread writes a well-formed end to what
// the run has printed and ends the process at once, before the monitor
// kills it and shows nothing.
#pragma once

#include <cstdint>
#include <string>

#include "output/result_writer.h"
#include "platform/trace_log.h"

namespace fennick {

// What the budget's end writes with, known when it is armed.
struct BudgetEnd {
  int seconds = 0;
  bool itemRun = false;
  bool consoleReport = false;
  ResultWriter writer;        // the run's output mode and options
  std::string itemName;       // item run: the summary's item
  unsigned systemsInList = 0; // item run: every name the listing gives
  TraceLog* trace = nullptr;
};

// Starts the timer: the budget counts from `startMilliseconds` on the
// monotonic clock (the start of the process).
void ArmTimeBudget(const BudgetEnd& end, int64_t startMilliseconds);

// What the end needs as the run goes on. Each takes the output lock, so the
// end sees them together with what has been printed.
void BudgetDestination(const std::string& destination);
void BudgetCurrentSystem(const std::string& systemLine);  // empty between systems
void BudgetProcessed(unsigned processed);

// The run has written all it will write: the budget's end does nothing.
void DisarmTimeBudget();

}  // namespace fennick
