#include "driver/single_run.h"

#include <cstdio>

#include "driver/console.h"
#include "driver/measure.h"
#include "driver/run.h"
#include "driver/run_end.h"
#include "driver/run_state.h"
#include "driver/start_up.h"
#include "driver/version.h"
#include "driver/workspace.h"
#include "output/print.h"
#include "output/tablespace_evaluation.h"
#include "platform/clock.h"
#include "platform/run_lock.h"
#include "profile/connection_entry.h"

namespace fennick {

namespace {

// The run as the time budget's end and the library's handler see it.
struct SingleRun {
  RunState& rs;
  ResultWriter endWriter;  // the run's form, for a document the ends write
  SystemOutcome system;

  // Under the run's lock.
  size_t stepsWritten = 0;
  size_t consoleLinesWritten = 0;
  bool ending = false;     // the result is out but for its end
  std::string pendingEnd;  // that end
  int pendingExitCode = kExitSuccess;

  explicit SingleRun(RunState& state) : rs(state) {}
};

// The trace and console lines of the steps the library took so far.
void WriteWorkLocked(SingleRun& s) {
  const RfcWork& work = s.system.work;
  s.stepsWritten = WriteStepsLocked(s.rs.trace, work, s.stepsWritten, UsedConnection(work) ? 1 : 0);
  s.consoleLinesWritten = PrintConsoleLinesLocked(work, s.consoleLinesWritten);
}

// What the library wrote goes to the working folder, its workspace away.
void FinishFilesLocked(SingleRun& s) {
  TakeLibraryFilesLocked(s.rs.rfc, s.system);
  PublishFilesLocked(s.rs.rfc, s.system, s.rs.switches.consoleReport);
  CloseWorkspace(s.rs.rfc);
}

void FinishFiles(SingleRun& s) {
  RunLock lock;
  FinishFilesLocked(s);
}

// The end of the document, the library's trace files gone, the closing
// console line: the run's last bytes.
void FinishLocked(SingleRun& s) {
  RunState& rs = s.rs;
  PrintResultLocked(s.pendingEnd);
  for (const std::string& name : rs.rfc.ops->traceFiles()) std::remove(name.c_str());
  if (rs.switches.consoleReport) PrintTextLocked(ClosingLine());
  MarkFinishedLocked(s.pendingExitCode);
}

void Close(SingleRun& s) { CloseSystem(s.rs.rfc, s.system); }

void PrintHeader(const RunState& rs, const SystemEntry& entry) {
  if (!rs.switches.consoleReport) return;
  RunLock lock;
  PrintTextLocked(rs.banner + "\n");
  PrintTextLocked(SystemLine(entry, rs.run.profileName) + " State=Processing\n");
  PrintTextLocked("* " + LocalTimeOfDay() + " " + kProgramName + " - " + ShownParameters(rs.run.parameterText) +
                  " State=Executing\n");
}

// The measured system's document; its end follows the close, and from the
// moment the result is out the budget completes the document rather than
// replace it, since nothing waits on the network any more.
int WriteResult(SingleRun& s) {
  RunState& rs = s.rs;
  WriteSystemResult(rs.writer, s.system.rows, s.system.request.entry.destination, RulesOf(rs.switches),
                    s.system.daysLeft);
  const std::string result = rs.writer.messageBuffer;
  rs.writer.messageBuffer.clear();
  EndDocument(rs.writer);
  {
    RunLock lock;
    PrintResultLocked(result);
    s.pendingEnd = rs.writer.messageBuffer;
    s.pendingExitCode = ExitCodeFor(rs.writer, kExitSuccess);
    s.ending = true;
  }
  rs.writer.messageBuffer.clear();
  Close(s);
  RunLock lock;
  FinishFilesLocked(s);
  FinishLocked(s);
  return s.pendingExitCode;
}

// The outcome as the run's result: a failure's error document is out
// before the close.
int Report(SingleRun& s) {
  if (s.system.end == SystemEnd::Measured) return WriteResult(s);
  const int exitCode = EndWithError(s.rs, OutcomeFailure(s.system));
  Close(s);
  FinishFiles(s);
  return exitCode;
}

// The time budget ran out: Error 1032 while nothing of the result is out,
// else the result completed from what the run holds.
void AtBudget(void* run, int budgetSeconds) {
  SingleRun& s = *static_cast<SingleRun*>(run);
  WriteWorkLocked(s);
  traceLineLocked(s.rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  if (s.ending) {
    // A close that hangs: the run holds all it needs to end as it would.
    FinishFilesLocked(s);
    FinishLocked(s);
    EndProcessLocked(s.pendingExitCode);
  }
  ResultWriter& writer = s.endWriter;
  WriteErrorDocument(writer, NumberedFailure(1032, "RFC-Timeout for " + s.system.request.entry.destination + " after " +
                                                       std::to_string(budgetSeconds) + " s !"));
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, kExitError);
  MarkFinishedLocked(exitCode);
  FinishFilesLocked(s);
  EndProcessLocked(exitCode);
}

// The library's handler fired.
void AtHandler(void* run, const HandlerReport& report) {
  SingleRun& s = *static_cast<SingleRun*>(run);
  WriteWorkLocked(s);
  ResultWriter& writer = s.endWriter;
  // Once the result is out, the report closes its document.
  WriteHandlerReport(writer, report, s.ending);
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, kExitHandlerReport);
  MarkFinishedLocked(exitCode);
  FinishFilesLocked(s);
  EndProcessLocked(exitCode);
}

}  // namespace

int RunSingleProfile(RunState& rs) {
  if (Failure failure = SettleSwitches(rs)) return EndWithError(rs, *failure);
  // Never freed: the timer may still look at it while the process ends.
  SingleRun& s = *new SingleRun(rs);
  s.endWriter = rs.writer;
  WatchRun(RunEndHooks{&s, AtBudget, AtHandler});
  if (BudgetSeconds(rs.switches) > 0) ArmTimeBudget(BudgetSeconds(rs.switches), rs.startMilliseconds);
  SystemEntry entry;
  Failure entryProblem = ReadSingleProfileEntry(rs.profileFile.get(), rs.key, rs.run.profileName, entry);
  rs.profileFile.reset();
  if (entryProblem) return EndWithError(rs, *entryProblem);
  {
    RunLock lock;
    s.system.request = LogonFor(rs.switches, entry);
    if (rs.daysLeft) s.system.daysLeftPlan = &*rs.daysLeft;
  }
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, *failure);
  RouteHandlerReports();
  traceLine(rs.trace, 0, "program started", rs.programPath);
  PrintHeader(rs, entry);
  OpenWorkspace(rs.rfc, rs.switches.consoleReport);
  MeasureSystem(rs.rfc, s.system, true);
  {
    RunLock lock;
    WriteWorkLocked(s);
  }
  return Report(s);
}

}  // namespace fennick
