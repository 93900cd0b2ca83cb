// Process start: banner, command line, run switches and the profile lookup,
// and the steps both kinds of run take before their systems.
#pragma once

#include <string>
#include <vector>

#include "driver/run_state.h"

namespace fennick {

// Reads the arguments (args[0] is the program, args[1] the profile) into
// the run's names and switches.
void ReadArguments(RunState& rs, const std::vector<std::string>& args);

// Forms the start time, banner and key, reads the arguments and the
// installation settings, and finds the profile.
Failure StartRun(RunState& rs, const std::vector<std::string>& args);

// A global sensor's keywords: its line's, then those the command line gave
// after its key, which win.
void ReadSensorKeywords(RunState& rs);

// Once the run's parameters are final (a global sensor's come from its
// line): a bad keyword value ends the run before any logon; the writer and
// the form get the switches they read.
Failure SettleSwitches(RunState& rs);

// Loads the RFC library the installation chose.
Failure BindLibrary(RunState& rs);

}  // namespace fennick
