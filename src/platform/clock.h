#pragma once

#include <string>

namespace fennick {

// The local time of day as "HH:MM:SS".
std::string LocalTimeOfDay();

}  // namespace fennick
