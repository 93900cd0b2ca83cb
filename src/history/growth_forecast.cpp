#include "history/growth_forecast.h"

#include <algorithm>
#include <cmath>

namespace fennick {

Growth GrowthOf(const std::vector<HistorySample>& samples, int64_t now) {
  // Oldest first: the window starts at the first sample young enough.
  const auto first = std::find_if(samples.begin(), samples.end(),
                                  [now](const HistorySample& s) { return s.time >= now - kForecastSeconds; });
  Growth growth;
  const size_t count = static_cast<size_t>(samples.end() - first);
  const int64_t span = count == 0 ? 0 : samples.back().time - first->time;
  if (count < kLeastSamples || span < kLeastSpanSeconds) {
    // A day's span is what is waited for; with it but too few samples,
    // the next hour's sample may be enough.
    growth.hoursToKnow = span < kLeastSpanSeconds ? (kLeastSpanSeconds - span + 3599) / 3600 : 1;
    return growth;
  }
  // Days from the first sample, and KB, taken about their means: doubles
  // stay exact for the times and lose nothing to large sizes.
  double meanDay = 0, meanUsed = 0;
  for (auto s = first; s != samples.end(); ++s) {
    meanDay += static_cast<double>(s->time - first->time) / 86400.0;
    meanUsed += static_cast<double>(s->usedKb);
  }
  meanDay /= static_cast<double>(count);
  meanUsed /= static_cast<double>(count);
  double cross = 0, square = 0;
  for (auto s = first; s != samples.end(); ++s) {
    const double day = static_cast<double>(s->time - first->time) / 86400.0 - meanDay;
    cross += day * (static_cast<double>(s->usedKb) - meanUsed);
    square += day * day;
  }
  growth.known = true;
  growth.kbPerDay = cross / square;
  return growth;
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
