#include "driver/measure.h"

#include "driver/days_left.h"
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

void MeasureSystem(const RfcBackend& rfc, SystemOutcome& system, bool traced) {
  void* state = rfc.state.get();
  const RfcBackendOps& ops = *rfc.ops;
  RfcWork& work = system.work;
  ops.prepare(state, work, traced);
  system.connection = ops.logOn(state, system.request, work);
  if (system.connection == 0) {
    system.end = SystemEnd::LogonFailed;
    system.reason = ops.logonFailureText(state, work);
    system.reasonKnown = !system.reason.empty();
    return;
  }
  std::string databaseSystem;
  system.failedStep = ops.systemInfo(state, system.connection, work, databaseSystem);
  if (system.failedStep.code != 0) {
    // A wrong sign-on shows up here too; it is this system's failure alone.
    system.end = SystemEnd::InfoFailed;
    system.reason = ops.failureText(state, work, system.reasonKnown);
    return;
  }
  if (!StartsWith(databaseSystem, "ORA")) {
    system.end = SystemEnd::NotOracle;
    return;
  }
  system.failedStep = ops.tablespaceRows(state, system.connection, work, system.rows);
  if (system.failedStep.code != 0) {
    system.rows.clear();
    system.end = SystemEnd::RowsFailed;
    system.reason = ops.failureText(state, work, system.reasonKnown);
    return;
  }
  system.end = SystemEnd::Measured;
  if (system.daysLeftPlan) {
    system.daysLeft = ForecastDaysLeft(*system.daysLeftPlan, system.request, system.rows, system.work);
  }
}

void CloseSystem(const RfcBackend& rfc, SystemOutcome& system) {
  rfc.ops->close(rfc.state.get(), system.connection, system.work);
  system.connection = 0;
}

RunFailure OutcomeFailure(const SystemOutcome& system) {
  switch (system.end) {
    case SystemEnd::LogonFailed:
      return NumberedFailure(1011, "RFC-Open for " + system.request.entry.destination + " failed !" + system.reason);
    case SystemEnd::NotOracle: return NumberedFailure(1018, "DataBase mismatch !");
    case SystemEnd::InfoFailed:
    case SystemEnd::RowsFailed: return ResultFailure(system.failedStep, system.reason);
    case SystemEnd::Measured: break;
  }
  return RunFailure{};
}

}  // namespace fennick
