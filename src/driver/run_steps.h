// Steps both kinds of run take before their systems.
#pragma once

#include "driver/run_state.h"

namespace fennick {

// The limits, the budget, the group's width and the writer's options from
// the final parameters; a bad value ends the run before any logon.
Failure ReadRunKeywords(RunState& rs);

// ",NAGIOS" in the parameters selects the plugin form, over Fennick.Ini;
// console lines then go to standard error.
void ApplyOutputKeywords(RunState& rs);

// Loads the RFC library the installation chose.
Failure BindLibrary(RunState& rs);

// The logon for an entry: the parameters' overrides and the console switch.
LogonRequest LogonFor(const RunState& rs, const SystemEntry& entry);

}  // namespace fennick
