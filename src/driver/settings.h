// Installation settings from Fennick.Ini in the working directory.
#pragma once

#include <cstdio>

#include "driver/keywords.h"

namespace fennick {

// Reads Outputmode.:, Driveroot..: and Rfclibrary.:; an unknown output mode
// or library ends the run.
Failure ReadInstallationSettings(RunSwitches& switches);

// The same for an open settings file.
Failure ReadSettingsFile(std::FILE* file, RunSwitches& switches);

}  // namespace fennick
