#include "nw_invoke.h"

#include <cstdio>
#include <ctime>

#include "sim_values.h"

namespace nwsim {

namespace {

using rfcsim::FaultKind;
using rfcsim::SystemConfig;

// A system reached only through its message server still runs on a host.
std::string ServerHost(const SystemConfig& system) { return system.ashost.empty() ? system.mshost : system.ashost; }

// "sapprd01_PRD_00", as the server names itself.
std::string ServerName(const SystemConfig& system) {
  char sysnr[16] = "00";
  if (system.sysnr) std::snprintf(sysnr, sizeof sysnr, "%02d", static_cast<int>(*system.sysnr));
  return ServerHost(system) + "_" + system.sid + "_" + sysnr;
}

InvokeFault Broken(const SystemConfig& system) {
  std::string message = "LOCATION    SAP-Server " + ServerName(system) + " on host " + ServerHost(system) + "\n" +
                        "ERROR       connection to partner broken";
  return {MakeFailure(NW_COMMUNICATION_FAILURE, NW_GROUP_COMMUNICATION, "RFC_COMMUNICATION_FAILURE", message), true};
}

InvokeFault Exception(const std::string& name) {
  return {MakeFailure(NW_ABAP_EXCEPTION, NW_GROUP_ABAP_APPLICATION, name, name), false};
}

InvokeFault SystemFailure(const std::string& function, const std::string& name) {
  return {MakeFailure(NW_ABAP_RUNTIME_FAILURE, NW_GROUP_ABAP_RUNTIME, name.empty() ? "SYSTEM_FAILURE" : name,
                      "ERROR       " + function + " raised a system failure"),
          true};
}

InvokeFault Unknown(const std::string& function, int code) {
  return {MakeFailure(NW_UNKNOWN_ERROR, NW_GROUP_EXTERNAL_RUNTIME, "RFC_UNKNOWN_ERROR",
                      "ERROR       " + function + " returned " + std::to_string(code)),
          false};
}

// The codes map onto the error numbers the classic road gives for them.
InvokeFault Mapped(const SystemConfig& system, const std::string& function, const rfcsim::Fault& fault) {
  const bool received = fault.kind == FaultKind::Receive;
  if (fault.code == 1) return Broken(system);
  if (received && fault.code == 2) return Exception(fault.exception);
  if (received && fault.code == 3) return SystemFailure(function, fault.exception);
  return Unknown(function, fault.code);
}

void AnswerSystemInfo(NwContainerRecord& function, const SystemConfig& system) {
  SetFields(function, rfcsim::SystemInfoScalars());
  if (NwContainerRecord* rfcsi = FindPart(function, "RFCSI_EXPORT"))
    SetFields(*rfcsi, rfcsim::SystemInfoValues(system));
}

void AnswerCurrentSizes(NwContainerRecord& function, const SystemConfig& system, const rfcsim::UtcStamp& now,
                        LiveContainers& live) {
  using rfcsim::TextValue;
  SetFields(function, {{"CURR_DATE", TextValue(now.date)}, {"CURR_TIME", TextValue(now.time)}});
  if (NwContainerRecord* stamp = FindPart(function, "DATETIME"))
    SetFields(*stamp, {{"MONI_DATE", TextValue(now.date)}, {"MONI_TIME", TextValue(now.time)}});
  if (NwContainerRecord* ts = FindPart(function, "TS")) {
    ClearRows(*ts, live);
    const int64_t days = rfcsim::DaysSinceStart(system, std::time(nullptr));
    for (const rfcsim::Tablespace& tablespace : system.tablespaces)
      AppendRow(*ts, rfcsim::TablespaceRowValues(tablespace, days), live);
  }
}

}  // namespace

std::optional<InvokeFault> FindInvokeFault(const SystemConfig& system, const std::string& function) {
  // Code 0 lets the call through, at either step.
  const rfcsim::Fault* fault = rfcsim::FindFault(system, FaultKind::Call, function);
  if (!fault || fault->code == 0) fault = rfcsim::FindFault(system, FaultKind::Receive, function);
  if (!fault || fault->code == 0) return std::nullopt;
  InvokeFault mapped = Mapped(system, function, *fault);
  if (system.lastError) mapped.failure.message = system.lastError->message;
  return mapped;
}

void Answer(NwContainerRecord& function, const SystemConfig& system, const rfcsim::UtcStamp& now,
            LiveContainers& live) {
  if (function.name == "RFC_SYSTEM_INFO") AnswerSystemInfo(function, system);
  if (function.name == "DB_ORA_CURRENT_SIZES") AnswerCurrentSizes(function, system, now, live);
}

}  // namespace nwsim
