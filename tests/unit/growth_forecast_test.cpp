#include "history/growth_forecast.h"

#include <gtest/gtest.h>

#include <limits>

namespace fennick {
namespace {

const int64_t kDay = 86400;
const int64_t kNow = 1767225600;  // 2026-01-01 00:00 UTC

struct Point {
  int64_t secondsBefore;  // before kNow
  int64_t usedKb;
};

std::vector<HistorySample> Samples(const std::vector<Point>& points) {
  std::vector<HistorySample> samples;
  for (const Point& p : points) {
    HistorySample s;
    s.time = kNow - p.secondsBefore;
    s.usedKb = p.usedKb;
    samples.push_back(s);
  }
  return samples;
}

// Slopes worked out by hand: sum((x - mean x)(y - mean y)) / sum((x - mean x)^2), x in days.
TEST(GrowthForecast, SlopeOfTheLastSevenDays) {
  struct Row {
    std::vector<Point> points;
    bool known;
    double kbPerDay;
    int64_t hoursToKnow;
  } rows[] = {
      {{{kDay, 1000}, {kDay / 2, 1500}, {0, 2000}}, true, 1000, 0},
      // x 0 1 2 3, y 0 150 150 300: 450 / 5.
      {{{3 * kDay, 0}, {2 * kDay, 150}, {kDay, 150}, {0, 300}}, true, 90, 0},
      // A third of a day is no exact double; on paper 300.
      {{{kDay, 0}, {2 * kDay / 3, 100}, {0, 300}}, true, 300, 0},
      {{{3 * kDay, 500}, {2 * kDay, 400}, {0, 200}}, true, -100, 0},
      {{{2 * kDay, 700}, {kDay, 700}, {0, 700}}, true, 0, 0},
      // Beyond seven days a sample counts no more: the flat week decides.
      {{{8 * kDay, 0}, {2 * kDay, 700}, {kDay, 700}, {0, 700}}, true, 0, 0},
      {{{7 * kDay, 0}, {kDay, 600}, {0, 700}}, true, 100, 0},  // seven days old still counts
      // Too little: the hours until the samples span a day.
      {{{0, 5}}, false, 0, 24},
      {{{10 * 3600, 5}, {0, 6}}, false, 0, 14},
      {{{23 * 3600 + 1800, 5}, {3600, 6}, {0, 7}}, false, 0, 1},
      {{{kDay, 5}, {0, 6}}, false, 0, 1},  // a day, but two samples
      {{{9 * kDay, 5}, {8 * kDay, 6}, {0, 7}}, false, 0, 24},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    const Growth growth = GrowthOf(Samples(rows[i].points), kNow);
    EXPECT_EQ(growth.known, rows[i].known) << "row " << i;
    EXPECT_NEAR(growth.kbPerDay, rows[i].kbPerDay, 1e-9) << "row " << i;
    EXPECT_EQ(growth.hoursToKnow, rows[i].hoursToKnow) << "row " << i;
  }
}

TEST(GrowthForecast, WholeDaysUntilFull) {
  const int64_t most = std::numeric_limits<int64_t>::max();
  const int64_t least = std::numeric_limits<int64_t>::min();
  struct Row {
    int64_t capacityKb, usedKb;
    double kbPerDay;
    int64_t days;
  } rows[] = {
      {12000, 2000, 1000, 10}, {11999, 2000, 1000, 9},  {1100, 200, 90, 10},
      {1099, 200, 90, 9},      {5000, 5000, 100, 0},    {5000, 6000, -50, 0},  // full already
      {5000, 100, 0, 3650},    {5000, 100, -3, 3650},   {5000, 100, 1.0 / 3, 3650},
      {3651, 0, 1, 3650},      {3650, 0, 1, 3650},      {3649, 0, 1, 3649},
      {most, least, 1, 3650},  {least, most, 1e300, 0}, {most, 0, 1e-300, 3650},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DaysUntilFull(r.capacityKb, r.usedKb, r.kbPerDay), r.days)
        << r.capacityKb << " " << r.usedKb << " " << r.kbPerDay;
  }
  // The slope of a third of a day above, a hair off 300, still gives whole days.
  const Growth third = GrowthOf(Samples({{kDay, 0}, {2 * kDay / 3, 100}, {0, 300}}), kNow);
  EXPECT_EQ(DaysUntilFull(3300, 300, third.kbPerDay), 10);
}

}  // namespace
}  // namespace fennick
