// What RfcInvoke does on a reached system: the faults the landscape injects
// for a function module, and the answers of the modules the stand-in knows.
#pragma once

#include <optional>
#include <string>

#include "nw_containers.h"
#include "nw_error_info.h"
#include "sim_clock.h"
#include "sim_config.h"

namespace nwsim {

struct InvokeFault {
  Failure failure;
  bool closesConnection = false;
};

// The fault `call FUNCTION CODE` (CODE not 0) or `receive FUNCTION CODE
// [EXCEPTION]` of the system, mapped onto the library's codes; none when
// the call goes through.
std::optional<InvokeFault> FindInvokeFault(const rfcsim::SystemConfig& system, const std::string& function);

// Fills the function's parameters and tables with the system's answer.
void Answer(NwContainerRecord& function, const rfcsim::SystemConfig& system, const rfcsim::UtcStamp& now,
            LiveContainers& live);

}  // namespace nwsim
