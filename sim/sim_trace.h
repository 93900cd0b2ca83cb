// Lines the stand-in appends to the library trace file Dev_Rfc.Trc.
#pragma once

#include <string>
#include <vector>

#include "sim_clock.h"

namespace rfcsim {

struct SystemConfig;

// "**** ERROR file opened at 20261208 101500 UTC, SAP-REL 640,0,0 RFC-VER 3"
std::string TraceHeader(const UtcStamp& stamp);

// The system's own trace lines when it has any, else the header and
// "ERROR       <text>". `system` may be null.
std::vector<std::string> FailureTraceLines(const SystemConfig* system, const std::string& text, const UtcStamp& stamp);

// Appends to Dev_Rfc.Trc in the working directory, or in RFC_TRACE_DIR; a
// file that cannot be written is passed over silently, as the library does.
void AppendTraceLines(const std::vector<std::string>& lines);

}  // namespace rfcsim
