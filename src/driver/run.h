// One run of the probe, from the arguments to the exit code.
#pragma once

#include <string>
#include <vector>

#include "profile/failure.h"

namespace fennick {

struct RunState;

int RunFennick(const std::vector<std::string>& args);

// Puts the failure into the error document and prints it: the run's last
// bytes. Returns the exit code.
int EndWithError(RunState& rs, const RunFailure& failure);

}  // namespace fennick
