#include "platform/trace_log.h"

#include <cstdio>

#include "platform/standard_output.h"

namespace fennick {

void OpenTraceLog(TraceLog& log, bool on) {
  log.on = on;
  if (on) log.file = OpenForAppend("Fennick.Log");
}

void traceLine(TraceLog& log, long handle, const std::string& message, const std::string& detail) {
  RunLock lock;
  traceLineLocked(log, handle, message, detail);
}

void traceLineLocked(TraceLog& log, long handle, const std::string& message, const std::string& detail) {
  if (!log.on || !log.file) return;
  std::string line = std::to_string(handle) + " " + message + " " + detail + "\n";
  std::fwrite(line.data(), 1, line.size(), log.file.get());
  std::fflush(log.file.get());
}

}  // namespace fennick
