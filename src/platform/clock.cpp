#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace fennick {

std::string LocalTimeOfDay() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local) return "00:00:00";
  char text[16];
  // The same eight characters as columns 12 to 19 of asctime's form.
  std::strftime(text, sizeof text, "%H:%M:%S", local);
  return text;
}

int64_t UtcSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

int64_t MonotonicMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace fennick
