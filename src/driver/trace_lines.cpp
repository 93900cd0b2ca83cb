#include "driver/trace_lines.h"

#include <cstdio>

#include "driver/run_state.h"
#include "output/print.h"

namespace fennick {

void OpenTraceLog(RunState& rs) {
  rs.traceSwitch = rs.parameterString.find(",SYSLOG") != std::string::npos;
  // A log that cannot be opened only costs the trace, never the result.
  if (rs.traceSwitch) rs.traceLog = OpenForAppend("Fennick.Log");
}

void traceLine(RunState& rs, unsigned handle, const std::string& message, const std::string& detail) {
  if (!rs.traceSwitch || !rs.traceLog) return;
  std::string line = std::to_string(static_cast<int>(handle)) + " " + message + " " + detail + "\n";
  std::fwrite(line.data(), 1, line.size(), rs.traceLog.get());
  std::fflush(rs.traceLog.get());
}

std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text) {
  std::string line(indent > 0 ? indent : 0, ' ');
  line += label;
  if (static_cast<int>(label.size()) < width) line.append(width - label.size(), ' ');
  return line + " : " + text + "\n";
}

void labelLine(const std::string& label, int indent, int width, const std::string& text) {
  PrintText(FormatLabelLine(label, indent, width, text));
}

}  // namespace fennick
