#include "driver/system_outcome.h"

#include "profile/text_util.h"

namespace fennick {

bool IsProcessed(const SystemOutcome& system) {
  return system.end == SystemEnd::Measured && system.entryStatus == '.' && !system.rows.empty();
}

const char* SystemState(const SystemOutcome& system) {
  // A failed logon or call outranks an item that was not found.
  if (system.entryStatus == 'X' || system.end != SystemEnd::Measured) return "Rfc Failure";
  return system.rows.empty() ? "Not Found" : "Processed";
}

void MeasureSystem(const RfcBackend& rfc, SystemOutcome& system) {
  void* state = rfc.state.get();
  RfcWork& work = system.work;
  rfc.ops->prepare(state, work, false);
  system.connection = rfc.ops->logOn(state, system.request, work);
  if (system.connection == 0) {
    system.end = SystemEnd::LogonFailed;
    return;
  }
  std::string databaseSystem;
  if (rfc.ops->systemInfo(state, system.connection, work, databaseSystem).code != 0) {
    // A wrong sign-on shows up here too; it is this system's failure alone.
    system.end = SystemEnd::InfoFailed;
    return;
  }
  if (!StartsWith(databaseSystem, "ORA")) {
    system.end = SystemEnd::NotOracle;
    return;
  }
  const bool rowsRead = rfc.ops->tablespaceRows(state, system.connection, work, system.rows).code == 0;
  if (!rowsRead) system.rows.clear();
  system.end = rowsRead ? SystemEnd::Measured : SystemEnd::RowsFailed;
}

void CloseSystem(const RfcBackend& rfc, SystemOutcome& system) {
  rfc.ops->close(rfc.state.get(), system.connection, system.work);
  system.connection = 0;
}

}  // namespace fennick
