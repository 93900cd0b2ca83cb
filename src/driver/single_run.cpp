#include "driver/single_run.h"

#include <cstdio>

#include "driver/console_lines.h"
#include "driver/run.h"
#include "driver/run_ends.h"
#include "driver/run_state.h"
#include "driver/run_steps.h"
#include "driver/start_up.h"
#include "driver/work_lines.h"
#include "output/print.h"
#include "output/tablespace_evaluation.h"
#include "platform/clock.h"
#include "platform/standard_output.h"
#include "platform/timer.h"
#include "profile/connection_entry.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

void WriteWorkLocked(SingleRun& s) {
  s.stepsWritten = WriteStepsLocked(s.rs.trace, s.work, s.stepsWritten, s.connectionNumber);
  s.consoleLinesWritten = PrintConsoleLinesLocked(s.work, s.consoleLinesWritten);
}

// The trace and console lines of the steps the library took so far.
void WriteWork(SingleRun& s) {
  StandardOutputLock lock;
  WriteWorkLocked(s);
}

// The end of the document, the library's trace files gone, the closing
// console line: the run's last bytes.
void FinishLocked(SingleRun& s) {
  RunState& rs = s.rs;
  PrintResultLocked(s.pendingEnd);
  for (const std::string& name : rs.rfc.ops->traceFiles()) std::remove(name.c_str());
  if (rs.consoleReport) PrintTextLocked(ClosingLine());
  MarkFinishedLocked(s.pendingExitCode);
}

void Close(SingleRun& s, RfcConnectionId connection) {
  s.rs.rfc.ops->close(s.rs.rfc.state.get(), connection, s.work);
}

void PrintHeader(const RunState& rs) {
  if (!rs.consoleReport) return;
  StandardOutputLock lock;
  PrintTextLocked(rs.banner + "\n");
  PrintTextLocked(SystemLine(rs.entry, rs.run.profileName) + " State=Processing\n");
  PrintTextLocked("* " + LocalTimeOfDay() + " " + kProgramName + " - " + ShownParameters(rs.run.parameterText) +
                  " State=Executing\n");
}

// On the open connection: the system information, the Oracle check and the
// rows, printed as the result. Returns the exit code.
int Measure(SingleRun& s, RfcConnectionId connection) {
  RunState& rs = s.rs;
  const RfcBackendOps& ops = *rs.rfc.ops;
  void* state = rs.rfc.state.get();
  std::string databaseSystem;
  StepResult info = ops.systemInfo(state, connection, s.work, databaseSystem);
  WriteWork(s);
  if (info.code != 0) {
    int exitCode = EndWithError(rs, ResultMessage(info) + ops.failureText(state, s.work));
    Close(s, connection);
    return exitCode;
  }
  if (!StartsWith(databaseSystem, "ORA")) {
    int exitCode = EndWithError(rs, "Error 1018: DataBase mismatch !");
    Close(s, connection);
    return exitCode;
  }
  std::vector<TablespaceRow> rows;
  StepResult sizes = ops.tablespaceRows(state, connection, s.work, rows);
  WriteWork(s);
  if (sizes.code != 0) {
    Close(s, connection);
    return EndWithError(rs, ResultMessage(sizes) + ops.failureText(state, s.work));
  }
  WriteSystemResult(rs.writer, rows, rs.entry.destination, ChannelUnitOf(rs.run.parameterString));
  const std::string result = rs.writer.messageBuffer;
  rs.writer.messageBuffer.clear();
  EndDocument(rs.writer);
  {
    // Nothing waits on the network any more: from here the budget completes
    // the document rather than replace it.
    StandardOutputLock lock;
    PrintResultLocked(result);
    s.pendingEnd = rs.writer.messageBuffer;
    s.pendingExitCode = ExitCodeFor(rs.writer, 0);
    s.ending = true;
  }
  rs.writer.messageBuffer.clear();
  Close(s, connection);
  StandardOutputLock lock;
  FinishLocked(s);
  return s.pendingExitCode;
}

}  // namespace

int RunSingleProfile(RunState& rs) {
  if (Failure failure = ReadRunKeywords(rs)) return EndWithError(rs, failure->message);
  // Never freed: the timer may still look at it while the process ends.
  SingleRun& s = *new SingleRun(rs);
  s.endWriter = rs.writer;
  WatchSingleRun(&s);
  if (rs.budgetSeconds > 0) ArmTimeBudget(rs.budgetSeconds, rs.startMilliseconds);
  Failure entryProblem = ReadSingleProfileEntry(rs.profileFile.get(), rs.key, rs.run.profileName, rs.entry);
  rs.profileFile.reset();
  if (entryProblem) return EndWithError(rs, entryProblem->message);
  {
    StandardOutputLock lock;
    s.destination = rs.entry.destination;
  }
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  RouteHandlerReports();
  const RfcBackendOps& ops = *rs.rfc.ops;
  void* state = rs.rfc.state.get();
  traceLine(rs.trace, 0, "program started", rs.programPath);
  ops.prepare(state, s.work, true);
  WriteWork(s);
  PrintHeader(rs);

  RfcConnectionId connection = ops.logOn(state, LogonFor(rs, rs.entry), s.work);
  {
    StandardOutputLock lock;
    s.connectionNumber = connection != 0 ? 1 : 0;
    WriteWorkLocked(s);
  }
  if (connection == 0) {
    return EndWithError(rs, "Error 1011: RFC-Open for " + rs.entry.destination + " failed !" +
                                ops.logonFailureText(state, s.work));
  }
  return Measure(s, connection);
}

void EndSingleAtBudgetLocked(SingleRun& s, int budgetSeconds) {
  WriteWorkLocked(s);
  traceLineLocked(s.rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  if (s.ending) {
    // A close that hangs: the run holds all it needs to end as it would.
    FinishLocked(s);
    EndProcessNow(s.pendingExitCode);
  }
  ResultWriter& writer = s.endWriter;
  WriteErrorDocument(writer, "Error 1032: RFC-Timeout for " + s.destination + " after " +
                                 std::to_string(budgetSeconds) + " s !");
  PrintResultLocked(writer.messageBuffer);
  const int exitCode = ExitCodeFor(writer, 2);
  MarkFinishedLocked(exitCode);
  EndProcessNow(exitCode);
}

void EndSingleWithHandlerLocked(SingleRun& s, const HandlerReport& report) {
  WriteWorkLocked(s);
  ResultWriter& writer = s.endWriter;
  WriteHandlerReport(writer, report, false);
  PrintResultLocked(writer.messageBuffer);
  const int exitCode = ExitCodeFor(writer, 1);
  MarkFinishedLocked(exitCode);
  EndProcessNow(exitCode);
}

}  // namespace fennick
