// The one road that measures a system: logon, system information, the
// Oracle check, the rows, and the close after. A single-profile run measures
// one system on it; a group run measures each listed system on it, in a
// thread, in a child process or on the main road. Its outcome is a value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "output/output_form.h"
#include "rfc/backend.h"
#include "rfc/handler_report.h"

namespace fennick {

struct DaysLeftPlan;

// How far the measurement of a system came.
enum class SystemEnd {
  LogonFailed,  // no connection
  InfoFailed,   // RFC_SYSTEM_INFO failed
  NotOracle,    // another database: ends the whole run
  RowsFailed,   // DB_ORA_CURRENT_SIZES failed
  Measured,     // the rows are there
};

struct SystemOutcome {
  // Read on the main road, in listing order.
  std::string profileName;
  size_t listIndex = 0;     // its place in the listing
  LogonRequest request;     // the entry and the parameters' overrides
  char entryStatus = '.';   // 'X': the entry is incomplete
  std::string systemLabel;  // the channel's name

  // Measured.
  RfcWork work;
  RfcConnectionId connection = 0;  // closed after the measurement
  SystemEnd end = SystemEnd::LogonFailed;
  StepResult failedStep;     // the call that failed, for InfoFailed and RowsFailed
  std::string reason;        // what follows the failure's message: " - " and the library's text
  bool reasonKnown = false;  // the library named a reason (else `reason` is a hint or nothing)
  std::vector<TablespaceRow> rows;
  // ",DAYSLEFT": the run's plan for the history (null: none is kept), and
  // once measured the forecast of each row.
  const DaysLeftPlan* daysLeftPlan = nullptr;
  std::vector<DaysLeft> daysLeft;
  // The library's fatal report, when its handler ended this system; at the
  // close, the system's outcome was complete before it.
  std::optional<HandlerReport> handler;
  bool handlerAtClose = false;
  // What the library wrote to its private files, not yet published.
  LibraryFiles files;
};

// The state the console shows for a measured system: "Processed",
// "Not Found" or "Rfc Failure".
const char* SystemState(const SystemOutcome& system);

// Whether the system counts as processed.
bool IsProcessed(const SystemOutcome& system);

// Logs on, reads the system information and, on Oracle, the rows: the
// outcome, with the connection left open for CloseSystem; where the run
// asks for days until full, the history too. With `traced` the library's
// environment is traced too (a single-profile run).
void MeasureSystem(const RfcBackend& rfc, SystemOutcome& system, bool traced);

void CloseSystem(const RfcBackend& rfc, SystemOutcome& system);

// The error a single-profile run reports for a system that was not measured.
RunFailure OutcomeFailure(const SystemOutcome& system);

}  // namespace fennick
