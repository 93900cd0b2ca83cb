// The single-profile run: one system, measured on the one road, whose
// result is the run's result.
#pragma once

namespace fennick {

struct RunState;

// Returns the exit code.
int RunSingleProfile(RunState& rs);

}  // namespace fennick
