// Small text rules shared by the readers.
#pragma once

#include <string>

namespace fennick {

// Upper case for ASCII letters only, whatever the locale.
std::string ToUpper(std::string text);

bool StartsWith(const std::string& text, const std::string& prefix);

bool Contains(const std::string& text, const std::string& part);

}  // namespace fennick
