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
#include "profile/sensor_listing.h"

namespace fennick {

namespace {

// The run as the time budget's end and the library's handler see it. The
// writer is the run's own, used under the run's lock only, so that an end
// from outside writes with it while the road is in a library call.
struct SingleRun {
  RunState& rs;
  SystemOutcome system;

  size_t stepsWritten GUARDED_BY(theRunLock) = 0;
  size_t consoleLinesWritten GUARDED_BY(theRunLock) = 0;
  bool ending GUARDED_BY(theRunLock) = false;  // the result is out but for its end

  explicit SingleRun(RunState& state) : rs(state) {}
};

// The trace and console lines of the steps the library took so far.
void WriteWorkLocked(SingleRun& s) REQUIRES(theRunLock) {
  const RfcWork& work = s.system.work;
  s.stepsWritten = WriteStepsLocked(s.rs.trace, work, s.stepsWritten, UsedConnection(work) ? 1 : 0);
  s.consoleLinesWritten = PrintConsoleLinesLocked(work, s.consoleLinesWritten);
}

// What the library wrote goes to the working folder, its workspace away.
void FinishFilesLocked(SingleRun& s) REQUIRES(theRunLock) {
  TakeLibraryFilesLocked(s.rs.rfc, s.system);
  PublishFilesLocked(s.rs.rfc, s.system, s.rs.switches.consoleReport);
  CloseWorkspace(s.rs.rfc);
}

void FinishFiles(SingleRun& s) {
  RunLock lock;
  FinishFilesLocked(s);
}

// The end of the document, the library's trace files gone, the closing
// console line: the run's last bytes. Returns the exit code.
int FinishLocked(SingleRun& s) REQUIRES(theRunLock) {
  RunState& rs = s.rs;
  EndDocument(rs.writer);
  PrintMessageBufferLocked(rs.writer);
  for (const std::string& name : rs.rfc.ops->traceFiles()) std::remove(name.c_str());
  if (rs.switches.consoleReport) PrintTextLocked(ClosingLine());
  const int exitCode = ExitCodeFor(rs.writer, kExitSuccess);
  MarkFinishedLocked(exitCode);
  return exitCode;
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
  {
    RunLock lock;
    WriteSystemResult(rs.writer, s.system.rows, s.system.request.entry.destination, RulesOf(rs.switches),
                      s.system.daysLeft);
    PrintMessageBufferLocked(rs.writer);
    s.ending = true;
  }
  Close(s);
  RunLock lock;
  FinishFilesLocked(s);
  return FinishLocked(s);
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
[[noreturn]] void EndAtBudgetLocked(SingleRun& s, int budgetSeconds) REQUIRES(theRunLock) {
  WriteWorkLocked(s);
  traceLineLocked(s.rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  if (s.ending) {
    // A close that hangs: the run holds all it needs to end as it would.
    FinishFilesLocked(s);
    EndProcessLocked(FinishLocked(s));
  }
  ResultWriter& writer = s.rs.writer;
  WriteErrorDocument(writer, NumberedFailure(1032, "RFC-Timeout for " + s.system.request.entry.destination + " after " +
                                                       std::to_string(budgetSeconds) + " s !"));
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, kExitError);
  MarkFinishedLocked(exitCode);
  FinishFilesLocked(s);
  EndProcessLocked(exitCode);
}

// The library's handler fired.
[[noreturn]] void EndAtHandlerLocked(SingleRun& s, const HandlerReport& report) REQUIRES(theRunLock) {
  WriteWorkLocked(s);
  ResultWriter& writer = s.rs.writer;
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
  // Named as a group's channel with profile names would name it, without
  // the profile's extension.
  rs.writer.systemLabel = SystemLabel('2', rs.run.profileName, SystemEntry());
  SingleRun s(rs);
  WatchedRun watched([&s](const OutsideEnd& end) {
    RunLockIsHeld();
    if (end.report) EndAtHandlerLocked(s, *end.report);
    EndAtBudgetLocked(s, end.budgetSeconds);
  });
  if (BudgetSeconds(rs.switches) > 0) ArmTimeBudget(BudgetSeconds(rs.switches), rs.startMilliseconds);
  SystemEntry entry;
  Failure entryProblem = ReadSingleProfileEntry(rs.profileFile.get(), rs.key, rs.run.profileName, entry);
  rs.profileFile.reset();
  if (entryProblem) return EndWithError(rs, *entryProblem);
  {
    RunLock lock;
    s.system.request = LogonFor(rs.switches, entry, rs.run.profileDirectory);
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
