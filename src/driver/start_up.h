// Process start: banner, command line, run switches and the profile lookup.
#pragma once

#include <string>
#include <vector>

#include "driver/run_state.h"

namespace fennick {

extern const char kProgramName[];
extern const char kVersion[];

// Reads the arguments (at least the profile) into the run's names and
// switches; further arguments than three are ignored.
void ReadArguments(RunState& rs, const std::vector<std::string>& args);

// Forms the start time, banner and key, reads the arguments (args[0] is the
// program) and the installation settings, and finds the profile.
Failure StartRun(RunState& rs, const std::vector<std::string>& args);

}  // namespace fennick
