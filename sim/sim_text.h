// Small text helpers shared by the stand-in's readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rfcsim {

// Blanks are spaces and tabs; nothing else is trimmed.
std::string Trim(const std::string& text);
std::string TrimRight(const std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);
// The same against a name written in the code, without a copy of it.
bool EqualsIgnoreCase(const std::string& a, const char* b);

// ASCII letters only, whatever the locale.
std::string Upper(std::string text);
std::string Lower(std::string text);

// Words separated by runs of blanks.
std::vector<std::string> SplitWords(const std::string& text);

// The lines without their line ends; a CR ending a line is dropped too.
std::vector<std::string> SplitLines(const std::string& text);

// Whole-text decimal conversions with an optional sign; false on anything
// else, including overflow.
bool ParseInt64(const std::string& text, int64_t& value);
bool ParseInt32(const std::string& text, int32_t& value);

// A C string from the caller, or empty when it is null.
std::string FromC(const char* text);

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const char* path, std::string& content);

}  // namespace rfcsim
