// One listed system of a group run as a value: what the main road read of
// it, and what measuring it found. The measuring thread fills the measured
// part and then sets `finished` under the run's lock; the main road reads
// that part only afterwards, and releases the system into the output in
// listing order.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rfc/backend.h"
#include "rfc/handler_report.h"

namespace fennick {

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
  bool profileMissing = false;
  LogonRequest request;     // the entry and the parameters' overrides
  char entryStatus = '.';   // 'X': the entry is incomplete
  std::string systemLabel;  // the channel's name

  // Measured.
  RfcWork work;
  RfcConnectionId connection = 0;  // closed after the measurement
  SystemEnd end = SystemEnd::LogonFailed;
  std::vector<TablespaceRow> rows;
  // The library's fatal report, when its handler ended this system; at the
  // close, the system's outcome was complete before it.
  std::optional<HandlerReport> handler;
  bool handlerAtClose = false;
  // Measured in a child process: what its library wrote to its own trace
  // files (name, lines), and the parameter file it was given, if any. The
  // parent adds them to its working directory when it releases the system.
  std::vector<std::pair<std::string, std::string>> libraryFiles;
  std::optional<std::string> parameterCopy;

  // Under the run's lock.
  bool read = false;      // its profile has been read
  bool finished = false;  // its outcome is known
  bool done = false;      // and its connection closed; the files are there
};

// The state the console shows for a finished system: "Processed",
// "Not Found" or "Rfc Failure".
const char* SystemState(const SystemOutcome& system);

// Whether the system counts as processed.
bool IsProcessed(const SystemOutcome& system);

// Logs on, reads the system information and, on Oracle, the rows: the
// outcome, with the connection left open for CloseSystem.
void MeasureSystem(const RfcBackend& rfc, SystemOutcome& system);

void CloseSystem(const RfcBackend& rfc, SystemOutcome& system);

}  // namespace fennick
