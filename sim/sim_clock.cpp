#include "sim_clock.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace rfcsim {

namespace {

// Calls come from several threads, and the caller's own clock readings
// share the C library's one static record on POSIX: each call fills its own.
const std::tm* UtcParts(std::time_t when, std::tm& parts) {
#ifdef _WIN32
  // The Windows C runtime keeps that record per thread.
  const std::tm* shared = std::gmtime(&when);
  if (!shared) return nullptr;
  parts = *shared;
  return &parts;
#else
  return gmtime_r(&when, &parts);
#endif
}

}  // namespace

UtcStamp StampOf(std::time_t when) {
  UtcStamp stamp{"00000000", "000000"};
  std::tm storage{};
  const std::tm* parts = UtcParts(when, storage);
  if (!parts) return stamp;
  char date[32];
  char time[32];
  std::snprintf(date, sizeof date, "%04d%02d%02d", parts->tm_year + 1900, parts->tm_mon + 1, parts->tm_mday);
  std::snprintf(time, sizeof time, "%02d%02d%02d", parts->tm_hour, parts->tm_min, parts->tm_sec);
  stamp.date = date;
  stamp.time = time;
  return stamp;
}

UtcStamp UtcNow() { return StampOf(std::time(nullptr)); }

void WaitMilliseconds(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rfcsim
