// The listing behind an item run: "Vireo.Prf" (ITEM=) or the global sensor
// listing "SAP Vireo.Gbl" (GLOBAL.P00).
#pragma once

#include <cstdio>
#include <string>

#include "driver/run_state.h"

namespace fennick {

// Reads the listing found by the profile lookup into SystemList, and settles
// ItemName, LabelKind and, for a global sensor, the parameters.
Failure ReadSensorListing(RunState& rs);

// The same for an open listing: "Vireo.Prf" or "SAP Vireo.Gbl".
Failure ReadListingFile(std::FILE* file, bool productProfile, RunState& rs);

// Takes the next profile name off the front of SystemList.
std::string TakeNextSystem(std::string& systemList);

// How the current system is named in its channel.
std::string SystemLabel(char labelKind, const std::string& profileName, const SystemEntry& entry);

}  // namespace fennick
