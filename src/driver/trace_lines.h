// The trace log of RFC steps and the aligned label lines of the error report.
#pragma once

#include <string>

namespace fennick {

struct RunState;

// Opens Fennick.Log in the working directory for appending when the
// parameters ask for a trace with ",SYSLOG".
void OpenTraceLog(RunState& rs);

// One line "<handle> <message> <detail>" in the trace log, flushed at once.
void traceLine(RunState& rs, unsigned handle, const std::string& message, const std::string& detail);

// `indent` blanks, the label left-aligned in `width` columns, " : ", the text.
std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text);
void labelLine(const std::string& label, int indent, int width, const std::string& text);

}  // namespace fennick
