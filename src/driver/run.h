// One run of the probe, from the arguments to the exit code.
#pragma once

#include <string>
#include <vector>

namespace fennick {

struct RunState;

int RunFennick(const std::vector<std::string>& args);

// Puts the message into the error document, prints it; the exit code is 2.
int EndWithError(RunState& rs, const std::string& message);

}  // namespace fennick
