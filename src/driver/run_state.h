// Everything one run of the program knows. Each part belongs to the
// subsystem that changes it; a step is handed the parts it reads.
#pragma once

#include <cstdint>
#include <string>

#include "driver/days_left.h"
#include "driver/keywords.h"
#include "output/result_writer.h"
#include "platform/files.h"
#include "platform/trace_log.h"
#include "profile/failure.h"
#include "profile/password.h"
#include "profile/run_parameters.h"
#include "profile/sensor_listing.h"
#include "profile/system_entry.h"
#include "rfc/backend.h"

namespace fennick {

struct RunState {
  // Start-up
  int64_t startMilliseconds = 0;  // monotonic: the time budget counts from here
  std::string startTime;
  std::string banner;
  std::string programPath;
  PasswordKey key{};

  // Command line, run switches and installation settings
  RunParameters run;
  std::string commandParameters;  // the parameters as the command line gave them
  std::string optionKeywords;     // its plugin-style options as keywords
  RunSwitches switches;
  std::optional<DaysLeftPlan> daysLeft;  // ",DAYSLEFT": where the histories are kept

  // Output
  ResultWriter writer;
  bool resultToFile = false;  // "-o FILE" was found writable: the result goes there
  TraceLog trace;

  // Profiles
  FilePtr profileFile;  // the profile found by the lookup, open for reading
  SensorListing listing;

  // The RFC library
  RfcBackend rfc;
};

}  // namespace fennick
