// Small text rules shared by the readers.
#pragma once

#include <cstdint>
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

}  // namespace fennick
