// Small text rules shared by the readers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fennick {

// Upper case for ASCII letters only, whatever the locale.
std::string ToUpper(std::string text);

bool StartsWith(const std::string& text, const std::string& prefix);

bool Contains(const std::string& text, const std::string& part);

// The value of a text's leading integer, the way the C library's atoi reads
// it: blanks, an optional sign and the digits that follow; 0 when there are
// none. Saturates instead of overflowing.
int64_t LeadingInteger(const std::string& text);

// The value of a parameter keyword such as ",HOST=": found in the
// upper-cased parameters, taken as typed from the same position, up to a
// comma, a blank or the end. Nothing when the keyword is not there.
std::optional<std::string> KeywordValue(const std::string& parameterString, const std::string& parameterText,
                                        const std::string& keyword);

// Without blanks (space, tab, CR) at either end.
std::string TrimBlanks(const std::string& text);

}  // namespace fennick
