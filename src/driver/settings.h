// Installation settings from Fennick.Ini in the working directory.
#pragma once

#include "driver/run_state.h"

namespace fennick {

// Reads Outputmode.: and Driveroot..:; an unknown output mode ends the run.
Failure ReadInstallationSettings(RunState& rs);

}  // namespace fennick
