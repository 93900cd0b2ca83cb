#include "history/growth_forecast.h"

#include <algorithm>
#include <cmath>

namespace fennick {

void AddToGrowth(GrowthSums& sums, const HistorySample& sample) {
  if (sample.time < sums.now - kForecastSeconds) return;
  if (sums.count == 0) {
    sums.firstUsedKb = sample.usedKb;
    sums.oldest = sums.newest = sample.time;
  }
  ++sums.count;
  sums.oldest = std::min(sums.oldest, sample.time);
  sums.newest = std::max(sums.newest, sample.time);
  const double day = static_cast<double>(sample.time - sums.now) * (1.0 / 86400.0);
  const double used = static_cast<double>(sample.usedKb) - static_cast<double>(sums.firstUsedKb);
  sums.days += day;
  sums.used += used;
  sums.daysSquared += day * day;
  sums.daysTimesUsed += day * used;
}

Growth GrowthOf(const GrowthSums& sums) {
  Growth growth;
  const int64_t span = sums.newest - sums.oldest;
  if (sums.count < kLeastSamples || span < kLeastSpanSeconds) {
    // A day's span is what is waited for; with it but too few samples,
    // the next hour's sample may be enough.
    growth.hoursToKnow = span < kLeastSpanSeconds ? (kLeastSpanSeconds - span + 3599) / 3600 : 1;
    return growth;
  }
  const double n = static_cast<double>(sums.count);
  const double cross = sums.daysTimesUsed - sums.days * sums.used / n;
  const double square = sums.daysSquared - sums.days * sums.days / n;
  growth.known = true;
  growth.kbPerDay = cross / square;
  return growth;
}

Growth GrowthOf(const std::vector<HistorySample>& samples, int64_t now) {
  GrowthSums sums;
  sums.now = now;
  for (const HistorySample& sample : samples) AddToGrowth(sums, sample);
  return GrowthOf(sums);
}

int64_t DaysUntilFull(int64_t capacityKb, int64_t usedKb, double kbPerDay) {
  // In doubles: hostile sizes cannot overflow there.
  const double room = static_cast<double>(capacityKb) - static_cast<double>(usedKb);
  if (room <= 0) return 0;
  if (!(kbPerDay > 0)) return kDaysNotFilling;
  double days = room / kbPerDay;
  // A quotient that is whole on paper may come out a hair below it; the
  // floor must not take a day off for that.
  const double whole = std::round(days);
  if (std::fabs(days - whole) <= 1e-9 * std::max(1.0, whole)) days = whole;
  if (!(days < static_cast<double>(kDaysNotFilling))) return kDaysNotFilling;
  return static_cast<int64_t>(std::floor(days));
}

}  // namespace fennick
