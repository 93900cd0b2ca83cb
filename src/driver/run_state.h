// Everything one run of the program knows, passed explicitly to each step.
#pragma once

#include <optional>
#include <string>

#include "platform/files.h"
#include "profile/password.h"
#include "profile/system_entry.h"
#include "rfc/rfc_library.h"
#include "rfc/logon_records.h"
#include "rfc/structures.h"

namespace fennick {

enum class ResultCode { Err, Ok };

// A failure that ends the run: the message for the error document.
struct RunFailure {
  std::string message;
};
using Failure = std::optional<RunFailure>;

struct RunState {
  // Start-up
  std::string startTime;
  std::string banner;
  std::string programPath;
  PasswordKey key{};

  // Command line and run switches
  std::string secondArgument;  // as typed; empty when not given
  std::string profileName;
  std::string profileDirectory;
  std::string parameterString;  // upper-cased, for keyword search
  std::string parameterText;    // as typed, for values
  std::string itemName;
  bool itemMode = false;
  bool consoleReport = false;
  std::string outputMode = "EXEXML";
  std::string driveRoot = "/";

  // Result writer
  std::string messageBuffer;
  int channelCounter = 0;

  // Trace log
  bool traceSwitch = false;
  FilePtr traceLog;

  // Profiles
  FilePtr profileFile;  // the profile found by the lookup, open for reading
  SystemEntry entry;
  std::string systemList;
  char labelKind = '1';
  std::string systemLabel;

  // Per system and counters
  char entryStatus = '.';
  bool itemFound = false;
  ResultCode resultCode = ResultCode::Err;
  std::string databaseSystem;
  unsigned noSystems = 0;
  unsigned processed = 0;
  unsigned failed = 0;

  // RFC client
  RfcLibrary rfc;
  LogonRecords logon;
  StructureSet structures;
};

}  // namespace fennick
