// Installation settings from Fennick.Ini in the working directory.
#pragma once

#include <cstdio>
#include <string>

#include "driver/keywords.h"

namespace fennick {

// Reads Outputmode.:, Driveroot..:, Rfclibrary.: and Historydir.: from
// Fennick.Ini in the working directory, else from the one beside the
// program (a monitor's service may start it in its system folder); an
// unknown output mode or library ends the run.
Failure ReadInstallationSettings(RunSwitches& switches, const std::string& programPath);

// The same for an open settings file.
Failure ReadSettingsFile(std::FILE* file, RunSwitches& switches);

}  // namespace fennick
