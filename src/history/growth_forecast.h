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
constexpr int64_t kLeastSamples = 3;
constexpr int64_t kLeastSpanSeconds = 86400;

// The sums of a least-squares line through the samples of the last seven
// days before `now`, taken one sample at a time, so that a history is
// never held whole: days from `now` (never more than eight) and KB from
// the first sample's, so that doubles lose nothing to large sizes.
struct GrowthSums {
  int64_t now = 0;
  int64_t count = 0;
  int64_t oldest = 0, newest = 0;
  int64_t firstUsedKb = 0;
  double days = 0, used = 0, daysSquared = 0, daysTimesUsed = 0;
};

struct Growth {
  bool known = false;
  double kbPerDay = 0;      // when known
  int64_t hoursToKnow = 0;  // when not: until the samples span a day
};

// Takes in a sample, where it lies in the seven days before `sums.now`.
void AddToGrowth(GrowthSums& sums, const HistorySample& sample);

// The slope of used KB over time, known once the samples number at least
// three and span at least a day.
Growth GrowthOf(const GrowthSums& sums);

// The same for a list of samples.
Growth GrowthOf(const std::vector<HistorySample>& samples, int64_t now);

// Whole days until used reaches the capacity at that growth: 0 for a
// tablespace full already, kDaysNotFilling for one that does not grow,
// and never more.
int64_t DaysUntilFull(int64_t capacityKb, int64_t usedKb, double kbPerDay);

}  // namespace fennick
