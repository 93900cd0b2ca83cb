#pragma once

#include <cstdint>
#include <string>

namespace fennick {

// The local time of day as "HH:MM:SS".
std::string LocalTimeOfDay();

// Seconds since 1970-01-01 00:00 UTC, as the system clock has them.
int64_t UtcSeconds();

// Milliseconds on a clock that only goes forward, for durations.
int64_t MonotonicMilliseconds();

}  // namespace fennick
