// The listing behind an item run: "Vireo.Prf" (ITEM=) or the global sensor
// listing "SAP Vireo.Gbl" (GLOBAL.P00).
#pragma once

#include <cstdio>
#include <string>

#include "profile/failure.h"
#include "profile/run_parameters.h"
#include "profile/system_entry.h"

namespace fennick {

// The systems of an item run and how their channels are named.
struct SensorListing {
  std::string systemList;  // profile names, each followed by "#"
  char labelKind = '1';    // 1 profile, 2 alias, 3 host, 4 destination
};

// Reads the listing found by the profile lookup into `listing`: the
// product profile "Vireo.Prf" for an item given with ITEM=, else the global
// listing. Settles the item name and, for a global sensor, the parameters.
Failure ReadSensorListing(RunParameters& run, const std::string& driveRoot, bool productProfile,
                          SensorListing& listing);

// The same for an open listing: "Vireo.Prf" or "SAP Vireo.Gbl".
Failure ReadListingFile(std::FILE* file, bool productProfile, RunParameters& run, SensorListing& listing);

// Takes the next profile name off the front of SystemList.
std::string TakeNextSystem(std::string& systemList);

// How many names TakeNextSystem gives before the list is empty.
unsigned CountSystems(const std::string& systemList);

// How the current system is named in its channel.
std::string SystemLabel(char labelKind, const std::string& profileName, const SystemEntry& entry);

}  // namespace fennick
