// Finding the profile file: in the given directory, or in the monitor's
// custom-sensor directories.
#pragma once

#include <string>

#include "platform/files.h"
#include "profile/failure.h"
#include "profile/run_parameters.h"

namespace fennick {

// Opens a path as the program writes it, mapped for the host; driveRoot
// stands for the root of drive paths where the host has no drives.
FilePtr OpenProgramFile(const std::string& driveRoot, const std::string& path);

// The installation directory named in C:\PRTG_Path.Txt: its last line that
// looks like a Windows directory, ending in a backslash.
std::string PrtgDirectory(std::FILE* file);

// Finds the profile: in the monitor's sensor directories when
// `searchSensorDirectories` (the EXEXML form without "@"), and last in
// `programDirectory` (the program's own folder, written as the program
// writes paths), else at the path given. On success `profile` is open and
// run.profileDirectory holds the directory it was found in. A profile that
// is there but cannot be opened: Error 1002 with the system's reason.
Failure FindProfile(RunParameters& run, bool searchSensorDirectories, const std::string& driveRoot,
                    const std::string& programDirectory, FilePtr& profile);

}  // namespace fennick
