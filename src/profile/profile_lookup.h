// Finding the profile file: in the given directory, or in the monitor's
// custom-sensor directories.
#pragma once

#include <string>

#include "driver/run_state.h"

namespace fennick {

// Opens a path as the program writes it, mapped for the host.
FilePtr OpenProgramFile(const RunState& rs, const std::string& path);

// The installation directory named in C:\PRTG_Path.Txt: its last line that
// looks like a Windows directory, ending in a backslash.
std::string PrtgDirectory(std::FILE* file);

// Finds the profile; on success rs.profileFile is open and
// rs.profileDirectory holds the directory it was found in.
Failure FindProfile(RunState& rs);

}  // namespace fennick
