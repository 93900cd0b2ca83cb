// The forecast from a tablespace's samples: how fast its used space grows,
// and in how many whole days it reaches its capacity.
#pragma once

#include <cstdint>
#include <vector>

#include "history/history_text.h"

namespace fennick {

// Ten years: the value of a tablespace that is not filling, and the most
// any forecast says.
constexpr int64_t kDaysNotFilling = 3650;

// The growth is taken over this long, from at least this many samples
// spanning at least a day.
constexpr int64_t kForecastSeconds = 7 * 86400;
constexpr size_t kLeastSamples = 3;
constexpr int64_t kLeastSpanSeconds = 86400;

struct Growth {
  bool known = false;
  double kbPerDay = 0;      // when known
  int64_t hoursToKnow = 0;  // when not: until the samples span a day
};

// The least-squares slope of used KB over time across the samples of the
// last seven days before `now` (samples oldest first).
Growth GrowthOf(const std::vector<HistorySample>& samples, int64_t now);

// Whole days until used reaches the capacity at that growth: 0 for a
// tablespace full already, kDaysNotFilling for one that does not grow,
// and never more.
int64_t DaysUntilFull(int64_t capacityKb, int64_t usedKb, double kbPerDay);

}  // namespace fennick
