#include "sim_trace.h"

#include <cstdio>
#include <cstdlib>

#include "sim_config.h"

namespace rfcsim {

namespace {

const char kTraceFile[] = "Dev_Rfc.Trc";

}  // namespace

std::string TraceHeader(const UtcStamp& stamp) {
  return "**** ERROR file opened at " + stamp.date + " " + stamp.time + " UTC, SAP-REL 640,0,0 RFC-VER 3";
}

std::vector<std::string> FailureTraceLines(const SystemConfig* system, const std::string& text, const UtcStamp& stamp) {
  if (system && !system->trace.empty()) return system->trace;
  return {TraceHeader(stamp), "ERROR       " + text};
}

void AppendTraceLines(const std::vector<std::string>& lines) {
  // RFC_TRACE_DIR moves the trace out of the working directory.
  const char* directory = std::getenv("RFC_TRACE_DIR");
  std::string path = directory && *directory ? std::string(directory) + "/" + kTraceFile : kTraceFile;
  // Binary, so the file reads the same on every platform.
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return;
  for (const std::string& line : lines) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc('\n', file);
  }
  std::fclose(file);
}

}  // namespace rfcsim
