#include "driver/system_runs.h"

#include <cstdio>

#include "driver/console_lines.h"
#include "driver/run.h"
#include "driver/run_state.h"
#include "driver/start_up.h"
#include "driver/trace_lines.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "output/tablespace_evaluation.h"
#include "platform/clock.h"
#include "profile/connection_entry.h"
#include "profile/profile_lookup.h"
#include "profile/sensor_listing.h"
#include "profile/text_util.h"
#include "rfc/connection.h"
#include "rfc/error_report.h"
#include "rfc/system_info.h"

namespace fennick {

namespace {

Failure BindLibrary(RunState& rs) {
  if (std::optional<std::string> problem = BindRfcLibrary(rs.programPath, rs.rfc)) return RunFailure{*problem};
  SetErrorHandlerLibrary(&rs.rfc);
  return std::nullopt;
}

void InstallEnvironment(RunState& rs) {
  // The library may keep the record's address, so it outlives every call.
  static RfcEnvironmentRecord environment{RfcErrorHandler, nullptr};
  rs.rfc.RfcEnvironment(&environment);
}

// The remote step's message with the trace file's last error, as the error document.
int EndWithRfcError(RunState& rs, RFC_HANDLE handle) {
  AppendTraceError(rs);
  int exitCode = EndWithError(rs, rs.messageBuffer);
  CloseConnection(rs, handle);
  return exitCode;
}

int EndWithDatabaseMismatch(RunState& rs, RFC_HANDLE handle) {
  int exitCode = EndWithError(rs, "Error 1018: DataBase mismatch !");
  CloseConnection(rs, handle);
  return exitCode;
}

bool IsOracle(const RunState& rs) { return StartsWith(rs.databaseSystem, "ORA"); }

// On an open connection: the system information, the Oracle check and the
// evaluation. Another database ends the whole run, and so does a failed
// information call in a single-profile run; the exit code is returned then.
// In an item run a failed information call is that system's failure: a
// wrong sign-on shows up there, and the other systems still count.
std::optional<int> MeasureSystem(RunState& rs, RFC_HANDLE handle) {
  ReadSystemInfo(rs, handle);
  if (rs.resultCode != ResultCode::Ok) {
    if (rs.itemMode) return std::nullopt;
    return EndWithRfcError(rs, handle);
  }
  if (!IsOracle(rs)) return EndWithDatabaseMismatch(rs, handle);
  rs.resultCode = ResultCode::Err;  // the tablespace step must earn its own "OK"
  EvaluateTablespaces(rs, handle);
  return std::nullopt;
}

}  // namespace

int RunSingleProfile(RunState& rs) {
  if (Failure failure = ReadSingleProfileEntry(rs)) return EndWithError(rs, failure->message);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  traceLine(rs, 0, "program started", rs.programPath);
  InstallEnvironment(rs);
  traceLine(rs, 0, "RfcEnvironment called", "");
  rs.messageBuffer.clear();
  rs.resultCode = ResultCode::Err;
  if (rs.consoleReport) {
    PrintText(rs.banner + "\n");
    PrintText(SystemLine(rs, rs.profileName) + " State=Processing\n");
    PrintText("* " + LocalTimeOfDay() + " " + kProgramName + " - " + ShownParameters(rs.parameterText) +
              " State=Executing\n");
  }

  RFC_HANDLE handle = OpenConnection(rs);
  if (handle == 0) return EndWithError(rs, "Error 1011: RFC-Open for " + rs.entry.destination + " failed !");
  if (std::optional<int> ended = MeasureSystem(rs, handle)) return *ended;
  CloseConnection(rs, handle);
  if (rs.resultCode != ResultCode::Ok) return EndWithRfcError(rs, 0);

  PrintMessageBuffer(rs);
  for (const std::string& name : LibraryTraceFiles()) std::remove(name.c_str());
  if (rs.consoleReport) PrintText(ClosingLine());
  return 0;
}

int RunItems(RunState& rs) {
  if (Failure failure = ReadSensorListing(rs)) return EndWithError(rs, failure->message);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  if (rs.consoleReport) {
    PrintText(rs.banner + "\n");
    PrintText("* " + rs.startTime + " " + ShownItemParameters(rs.parameterText) + " State=Executing\n");
  }
  BeginDocument(rs);
  PrintText(rs.messageBuffer + "\n");
  rs.messageBuffer.clear();

  while (!rs.systemList.empty()) {
    const std::string profileName = TakeNextSystem(rs.systemList);
    ++rs.noSystems;
    rs.itemFound = false;
    FilePtr profile = OpenProgramFile(rs, rs.profileDirectory + profileName);
    if (!profile) continue;  // counted, but neither processed nor failed
    rs.entryStatus = ReadListedProfileEntry(rs, profile.get());
    profile.reset();
    rs.systemLabel = SystemLabel(rs.labelKind, profileName, rs.entry);
    const std::string systemLine = rs.consoleReport ? SystemLine(rs, profileName) : std::string();

    InstallEnvironment(rs);
    rs.messageBuffer.clear();
    rs.resultCode = ResultCode::Err;
    RFC_HANDLE handle = OpenConnection(rs);
    if (handle == 0) {
      rs.entryStatus = 'X';
    } else if (std::optional<int> ended = MeasureSystem(rs, handle)) {
      return *ended;
    }
    CloseConnection(rs, handle);

    const bool rfcFailure = rs.entryStatus == 'X' || rs.resultCode != ResultCode::Ok;
    if (!rfcFailure && rs.itemFound) {
      ++rs.processed;
    } else {
      ++rs.failed;
    }
    const char* state = rfcFailure ? "Rfc Failure" : !rs.itemFound ? "Not Found" : "Processed";
    if (rs.consoleReport) PrintText("\n" + systemLine + " State=" + state + "\n");
  }

  // The last system's failure text has no place in the document.
  rs.messageBuffer.clear();
  BeginText(rs);
  AppendText(rs, "(***) " + rs.itemName + ": NoSystems=" + std::to_string(rs.noSystems) +
                     ", Processed=" + std::to_string(rs.processed) + ", Failed=" + std::to_string(rs.failed));
  EndText(rs);
  EndDocument(rs);
  PrintText(rs.messageBuffer + "\n");
  rs.messageBuffer.clear();
  if (rs.consoleReport) PrintText(ClosingLine());
  return 0;
}

}  // namespace fennick
