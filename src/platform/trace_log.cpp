#include "platform/trace_log.h"

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

// One append per whole line: runs side by side writing the same log never
// tear each other's lines.
void traceLineLocked(TraceLog& log, long handle, const std::string& message, const std::string& detail) {
  if (!log.on || !log.file) return;
  AppendToFile(log.file.get(), std::to_string(handle) + " " + message + " " + detail + "\n");
}

}  // namespace fennick
