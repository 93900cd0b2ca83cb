// The sensor result in the form the run's output mode asks for. Every
// operation sets or appends to the run's message buffer; the caller prints it.
#pragma once

#include <string>

namespace fennick {

struct RunState;

// Texts placed inside XML elements; the three markup characters are escaped.
std::string EscapeXml(const std::string& text);

void WriteErrorDocument(RunState& rs, const std::string& message);
void BeginDocument(RunState& rs);
void BeginText(RunState& rs);
// The caller's own words for the text line, escaped where the form is XML.
void AppendText(RunState& rs, const std::string& text);
void EndText(RunState& rs);
void WriteChannel(RunState& rs, const std::string& channel, const std::string& value, const std::string& unit);
void EndDocument(RunState& rs);

// The Corvatel key: separators and the first full stop become underscores.
std::string ChannelKey(const std::string& channel);

}  // namespace fennick
