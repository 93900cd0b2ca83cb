// The process environment and working directory, as a library loaded into
// the process sees them.
#pragma once

#include <string>
#include <vector>

namespace fennick {

// Sets an environment variable of this process, for the libraries it loads.
void SetEnvironmentValue(const std::string& name, const std::string& value);

// A copy of the environment, "NAME=value" each, taken while no
// SetEnvironmentValue of another thread changes it.
std::vector<std::string> EnvironmentSnapshot();

// The working directory as a native path ending in a separator; empty when
// it cannot be had.
std::string WorkingDirectory();

// Whether the file system tells "Dev_Rfc.Trc" from "dev_rfc.trc".
bool FileNamesAreCaseSensitive();

}  // namespace fennick
