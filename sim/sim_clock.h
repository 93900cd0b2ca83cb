// The stand-in's clock: the current UTC date and time as SAP writes them.
#pragma once

#include <ctime>
#include <string>

namespace rfcsim {

struct UtcStamp {
  std::string date;  // YYYYMMDD
  std::string time;  // HHMMSS
};

UtcStamp StampOf(std::time_t when);
UtcStamp UtcNow();

// Waits the system's network delay.
void WaitMilliseconds(int milliseconds);

}  // namespace rfcsim
