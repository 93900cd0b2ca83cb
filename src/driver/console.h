// The console report: lines starting with "* " that a person running the
// probe by hand reads beside the result, and a system's RFC work written
// out as trace lines and console lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/run_lock.h"
#include "platform/trace_log.h"
#include "rfc/backend.h"

namespace fennick {

struct SystemEntry;

// "* <time> SAP Fennick <version>"
std::string BannerLine(const std::string& startTime);

// "* <time> <profile>, <host>, <destination>, <sysnr>, <client>"
std::string SystemLine(const SystemEntry& entry, const std::string& profileName);

// "\n* <time> <profile> State=Profile missing\n" for a listed profile that
// does not exist.
std::string MissingProfileLine(const std::string& profileName);

// The parameters as the single-profile run shows them: cut at "#" and "@",
// "(No Parameters)" when nothing is left.
std::string ShownParameters(const std::string& parameterText);

// The parameters as the item run shows them: colons as blanks, cut at " @".
std::string ShownItemParameters(const std::string& parameterText);

// "\n* <time> SAP Fennick now processed...\n"
std::string ClosingLine();

// "* <time> <what>\n": something the run could not do that changes no result.
std::string NoteLine(const std::string& what);

// Whether any step was taken on a connection: the system then gets a
// connection number in the trace.
bool UsedConnection(const RfcWork& work);

// Writes the steps from `from` on, those on the connection numbered with
// `connectionNumber`, the others with 0; returns how many are written now.
// The caller holds the run's lock.
size_t WriteStepsLocked(TraceLog& trace, const RfcWork& work, size_t from, long connectionNumber) REQUIRES(theRunLock);

// Prints the console lines from `from` on; returns how many are printed now.
size_t PrintConsoleLinesLocked(const RfcWork& work, size_t from) REQUIRES(theRunLock);

}  // namespace fennick
