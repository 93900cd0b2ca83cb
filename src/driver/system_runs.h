// The two kinds of run once the profile is found: one system, or the
// systems of a listing.
#pragma once

namespace fennick {

struct RunState;

// One system; its result is the run's result. Returns the exit code.
int RunSingleProfile(RunState& rs);

// Every system of the listing, one channel each, closed by a summary.
int RunItems(RunState& rs);

}  // namespace fennick
