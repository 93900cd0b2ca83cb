#include "driver/time_budget.h"

#include "driver/console_lines.h"
#include "output/print.h"
#include "platform/clock.h"
#include "platform/standard_output.h"
#include "platform/timer.h"

namespace fennick {

namespace {

struct Budget {
  BudgetEnd end;
  std::string destination;
  std::string currentSystem;
  unsigned processed = 0;
  bool done = false;
};

// The timer's state; every field is read and written under the output lock.
Budget* g_budget = nullptr;

[[noreturn]] void EndSingleProfileRun(Budget& budget) {
  ResultWriter& writer = budget.end.writer;
  WriteErrorDocument(writer, "Error 1032: RFC-Timeout for " + budget.destination + " after " +
                                 std::to_string(budget.end.seconds) + " s !");
  WriteStandardOutputLocked(writer.messageBuffer);
  FlushStandardOutputLocked();
  EndProcessNow(2);
}

// Closes the document as the normal end does; the systems not measured yet
// count as failed.
[[noreturn]] void EndItemRun(Budget& budget) {
  const BudgetEnd& end = budget.end;
  ResultWriter& writer = budget.end.writer;
  if (!ResultBegunLocked()) {
    BeginDocument(writer);
    WriteStandardOutputLocked(writer.messageBuffer + "\n");
  }
  if (end.consoleReport && !budget.currentSystem.empty()) {
    WriteStandardOutputLocked("\n" + budget.currentSystem + " State=Timeout\n");
  }
  writer.messageBuffer.clear();
  BeginText(writer);
  AppendText(writer, "(***) " + end.itemName + ": NoSystems=" + std::to_string(end.systemsInList) +
                         ", Processed=" + std::to_string(budget.processed) +
                         ", Failed=" + std::to_string(end.systemsInList - budget.processed) + " (Timeout after " +
                         std::to_string(end.seconds) + " s)");
  EndText(writer);
  EndDocument(writer);
  WriteStandardOutputLocked(writer.messageBuffer + "\n");
  if (end.consoleReport) WriteStandardOutputLocked(ClosingLine());
  FlushStandardOutputLocked();
  EndProcessNow(0);
}

void OnBudgetEnd() {
  // Held until the process ends: nothing else is written from here on.
  StandardOutputLock lock;
  Budget& budget = *g_budget;
  if (budget.done) return;
  // Once a single run's result is being written nothing waits on the
  // network any more, and the run simply finishes.
  if (!budget.end.itemRun && ResultBegunLocked()) return;
  traceLineLocked(*budget.end.trace, 0, "Timeout reached", std::to_string(budget.end.seconds) + " s");
  if (budget.end.itemRun) EndItemRun(budget);
  EndSingleProfileRun(budget);
}

}  // namespace

void ArmTimeBudget(const BudgetEnd& end, int64_t startMilliseconds) {
  {
    StandardOutputLock lock;
    if (!g_budget) g_budget = new Budget;  // never freed: the timer may still look
    g_budget->end = end;
  }
  const int64_t deadline = startMilliseconds + static_cast<int64_t>(end.seconds) * 1000;
  StartOneShotTimer(deadline - MonotonicMilliseconds(), OnBudgetEnd);
}

void BudgetDestination(const std::string& destination) {
  StandardOutputLock lock;
  if (g_budget) g_budget->destination = destination;
}

void BudgetCurrentSystem(const std::string& systemLine) {
  StandardOutputLock lock;
  if (g_budget) g_budget->currentSystem = systemLine;
}

void BudgetProcessed(unsigned processed) {
  StandardOutputLock lock;
  if (g_budget) g_budget->processed = processed;
}

void DisarmTimeBudget() {
  StandardOutputLock lock;
  if (g_budget) g_budget->done = true;
}

}  // namespace fennick
