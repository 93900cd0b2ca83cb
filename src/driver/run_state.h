// Everything one run of the program knows. Each part belongs to the
// subsystem that changes it; a step is handed the parts it reads.
#pragma once

#include <cstdint>
#include <string>

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

enum class ResultCode { Err, Ok };

struct RunState {
  // Start-up
  int64_t startMilliseconds = 0;  // monotonic: the time budget counts from here
  std::string startTime;
  std::string banner;
  std::string programPath;
  PasswordKey key{};

  // Command line, run switches and installation settings
  RunParameters run;
  bool consoleReport = false;
  int budgetSeconds = 0;  // ",TIMEOUT="; 0 without a budget
  std::string driveRoot = "/";
  std::string rfcLibrary;  // "classic", "netweaver", or empty: the one that loads

  // Output
  ResultWriter writer;
  TraceLog trace;

  // Profiles
  FilePtr profileFile;  // the profile found by the lookup, open for reading
  SystemEntry entry;
  SensorListing listing;
  std::string systemLabel;

  // Per system and counters
  char entryStatus = '.';
  bool itemFound = false;
  ResultCode resultCode = ResultCode::Err;
  std::string databaseSystem;
  unsigned noSystems = 0;
  unsigned processed = 0;
  unsigned failed = 0;

  // The RFC library
  RfcBackend rfc;
};

}  // namespace fennick
