#include "driver/system_runs.h"

#include <cstdio>

#include "driver/console_lines.h"
#include "driver/run.h"
#include "driver/run_state.h"
#include "driver/limit_keywords.h"
#include "driver/start_up.h"
#include "driver/time_budget.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "output/tablespace_evaluation.h"
#include "platform/clock.h"
#include "profile/connection_entry.h"
#include "profile/profile_lookup.h"
#include "profile/sensor_listing.h"
#include "profile/text_util.h"
#include "rfc/backends.h"

namespace fennick {

namespace {

Failure BindLibrary(RunState& rs) {
  if (std::optional<std::string> problem = BindRfcBackend(rs.rfcLibrary, rs.programPath, rs.trace, rs.rfc)) {
    return RunFailure{*problem};
  }
  return std::nullopt;
}

LogonRequest LogonFor(const RunState& rs) {
  LogonRequest request;
  request.entry = rs.entry;
  ReadLogonOverrides(request, rs.run.parameterString, rs.run.parameterText);
  request.consoleReport = rs.consoleReport;
  return request;
}

RfcConnectionId LogOn(RunState& rs) { return rs.rfc.ops->logOn(rs.rfc.state.get(), LogonFor(rs)); }

void CloseConnection(RunState& rs, RfcConnectionId connection) { rs.rfc.ops->close(rs.rfc.state.get(), connection); }

// The step's message with the library's text, as the error document.
int EndWithRfcError(RunState& rs, RfcConnectionId connection) {
  rs.writer.messageBuffer += rs.rfc.ops->failureText(rs.rfc.state.get());
  int exitCode = EndWithError(rs, rs.writer.messageBuffer);
  CloseConnection(rs, connection);
  return exitCode;
}

// In an item run the document's opening is out already; the error closes it.
int EndWithDatabaseMismatch(RunState& rs, RfcConnectionId connection) {
  const std::string message = "Error 1018: DataBase mismatch !";
  if (rs.run.itemMode) {
    WriteErrorEnd(rs.writer, message);
    PrintMessageBuffer(rs.writer);
  } else {
    EndWithError(rs, message);
  }
  CloseConnection(rs, connection);
  return 2;
}

// The limits go to the writer; the budget starts its timer. A bad value ends
// the run before any logon.
Failure ReadRunKeywords(RunState& rs) {
  if (Failure failure = ReadLimitKeywords(rs.run, rs.writer.limits, rs.budgetSeconds)) return failure;
  ReadWriterOptions(rs.writer, rs.run.parameterString, rs.run.parameterText);
  return std::nullopt;
}

void ArmBudget(RunState& rs, unsigned systemsInList) {
  if (rs.budgetSeconds == 0) return;  // no budget, no timer
  BudgetEnd end;
  end.seconds = rs.budgetSeconds;
  end.itemRun = rs.run.itemMode;
  end.consoleReport = rs.consoleReport;
  end.writer = rs.writer;
  end.itemName = rs.run.itemName;
  end.systemsInList = systemsInList;
  end.trace = &rs.trace;
  ArmTimeBudget(end, rs.startMilliseconds);
}

bool IsOracle(const RunState& rs) { return StartsWith(rs.databaseSystem, "ORA"); }

void ReadSystemInfo(RunState& rs, RfcConnectionId connection) {
  StepResult result = rs.rfc.ops->systemInfo(rs.rfc.state.get(), connection, rs.databaseSystem);
  if (result.code == 0) {
    rs.resultCode = ResultCode::Ok;
  } else {
    rs.writer.messageBuffer += ResultMessage(result);
  }
}

void MeasureTablespaces(RunState& rs, RfcConnectionId connection) {
  std::vector<TablespaceRow> rows;
  StepResult result = rs.rfc.ops->tablespaceRows(rs.rfc.state.get(), connection, rows);
  if (result.code != 0) {
    rs.writer.messageBuffer += ResultMessage(result);
    return;
  }
  rs.resultCode = ResultCode::Ok;
  EvaluationRequest request;
  request.destination = rs.entry.destination;
  request.unit = ChannelUnitOf(rs.run.parameterString);
  request.itemMode = rs.run.itemMode;
  request.itemName = rs.run.itemName;
  request.systemLabel = rs.systemLabel;
  if (EvaluateTablespaces(rs.writer, rows, request)) rs.itemFound = true;
}

// On an open connection: the system information, the Oracle check and the
// evaluation. Another database ends the whole run, and so does a failed
// information call in a single-profile run; the exit code is returned then.
// In an item run a failed information call is that system's failure: a
// wrong sign-on shows up there, and the other systems still count.
std::optional<int> MeasureSystem(RunState& rs, RfcConnectionId connection) {
  ReadSystemInfo(rs, connection);
  if (rs.resultCode != ResultCode::Ok) {
    if (rs.run.itemMode) return std::nullopt;
    return EndWithRfcError(rs, connection);
  }
  if (!IsOracle(rs)) return EndWithDatabaseMismatch(rs, connection);
  rs.resultCode = ResultCode::Err;  // the tablespace step must earn its own "OK"
  MeasureTablespaces(rs, connection);
  return std::nullopt;
}

}  // namespace

int RunSingleProfile(RunState& rs) {
  if (Failure failure = ReadRunKeywords(rs)) return EndWithError(rs, failure->message);
  ArmBudget(rs, 0);
  Failure entryProblem = ReadSingleProfileEntry(rs.profileFile.get(), rs.key, rs.run.profileName, rs.entry);
  rs.profileFile.reset();
  if (entryProblem) return EndWithError(rs, entryProblem->message);
  BudgetDestination(rs.entry.destination);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  traceLine(rs.trace, 0, "program started", rs.programPath);
  rs.rfc.ops->prepare(rs.rfc.state.get(), true);
  rs.writer.messageBuffer.clear();
  rs.resultCode = ResultCode::Err;
  if (rs.consoleReport) {
    PrintText(rs.banner + "\n");
    PrintText(SystemLine(rs, rs.run.profileName) + " State=Processing\n");
    PrintText("* " + LocalTimeOfDay() + " " + kProgramName + " - " + ShownParameters(rs.run.parameterText) +
              " State=Executing\n");
  }

  RfcConnectionId connection = LogOn(rs);
  if (connection == 0) {
    return EndWithError(rs, "Error 1011: RFC-Open for " + rs.entry.destination + " failed !" +
                                rs.rfc.ops->logonFailureText(rs.rfc.state.get()));
  }
  if (std::optional<int> ended = MeasureSystem(rs, connection)) return *ended;
  CloseConnection(rs, connection);
  if (rs.resultCode != ResultCode::Ok) return EndWithRfcError(rs, 0);

  PrintMessageBuffer(rs.writer);
  for (const std::string& name : rs.rfc.ops->traceFiles()) std::remove(name.c_str());
  if (rs.consoleReport) PrintText(ClosingLine());
  return 0;
}

int RunItems(RunState& rs) {
  rs.profileFile.reset();  // the listing is opened afresh
  if (Failure failure = ReadSensorListing(rs.run, rs.driveRoot, rs.listing)) {
    return EndWithError(rs, failure->message);
  }
  if (Failure failure = ReadRunKeywords(rs)) return EndWithError(rs, failure->message);
  ArmBudget(rs, CountSystems(rs.listing.systemList));
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  if (rs.consoleReport) {
    PrintText(rs.banner + "\n");
    PrintText("* " + rs.startTime + " " + ShownItemParameters(rs.run.parameterText) + " State=Executing\n");
  }
  BeginDocument(rs.writer);
  PrintResult(rs.writer.messageBuffer + "\n");
  rs.writer.messageBuffer.clear();

  while (!rs.listing.systemList.empty()) {
    const std::string profileName = TakeNextSystem(rs.listing.systemList);
    ++rs.noSystems;
    rs.itemFound = false;
    FilePtr profile = OpenProgramFile(rs.driveRoot, rs.run.profileDirectory + profileName);
    if (!profile) continue;  // counted, but neither processed nor failed
    rs.entryStatus = ReadListedProfileEntry(profile.get(), rs.key, rs.entry);
    profile.reset();
    rs.systemLabel = SystemLabel(rs.listing.labelKind, profileName, rs.entry);
    const std::string systemLine = rs.consoleReport ? SystemLine(rs, profileName) : std::string();
    BudgetCurrentSystem(systemLine);

    rs.rfc.ops->prepare(rs.rfc.state.get(), false);
    rs.writer.messageBuffer.clear();
    rs.resultCode = ResultCode::Err;
    RfcConnectionId connection = LogOn(rs);
    if (connection == 0) {
      rs.entryStatus = 'X';
    } else if (std::optional<int> ended = MeasureSystem(rs, connection)) {
      return *ended;
    }

    // Counted before the connection is closed: a close that hangs must not
    // cost a system whose channel is out already.
    const bool rfcFailure = rs.entryStatus == 'X' || rs.resultCode != ResultCode::Ok;
    if (!rfcFailure && rs.itemFound) {
      ++rs.processed;
      BudgetProcessed(rs.processed);
    } else {
      ++rs.failed;
    }
    CloseConnection(rs, connection);
    const char* state = rfcFailure ? "Rfc Failure" : !rs.itemFound ? "Not Found" : "Processed";
    if (rs.consoleReport) PrintText("\n" + systemLine + " State=" + state + "\n");
    BudgetCurrentSystem(std::string());
  }

  // The last system's failure text has no place in the document.
  rs.writer.messageBuffer.clear();
  BeginText(rs.writer);
  AppendText(rs.writer, "(***) " + rs.run.itemName + ": NoSystems=" + std::to_string(rs.noSystems) +
                            ", Processed=" + std::to_string(rs.processed) + ", Failed=" + std::to_string(rs.failed));
  EndText(rs.writer);
  EndDocument(rs.writer);
  PrintResult(rs.writer.messageBuffer + "\n");
  rs.writer.messageBuffer.clear();
  if (rs.consoleReport) PrintText(ClosingLine());
  return 0;
}

}  // namespace fennick
