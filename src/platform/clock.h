#pragma once

#include <cstdint>
#include <string>

namespace fennick {

// The local time of day as "HH:MM:SS".
std::string LocalTimeOfDay();

// Milliseconds on a clock that only goes forward, for durations.
int64_t MonotonicMilliseconds();

}  // namespace fennick
