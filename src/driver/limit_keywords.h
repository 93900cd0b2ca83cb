// The alerting limits, the time budget and the group's width from the
// parameters: ",WARN=n", ",ERROR=n", ",TIMEOUT=n" and ",PARALLEL=n".
#pragma once

#include "output/result_writer.h"
#include "profile/failure.h"
#include "profile/run_parameters.h"

namespace fennick {

constexpr int64_t kLargestLimit = 2147483647;
constexpr int kLongestBudgetSeconds = 3600;
constexpr int kMostParallel = 64;

// Each keyword is searched on the upper-cased parameters, its value taken
// as typed: the digits up to a comma, a blank or the end. A value that is
// empty, not a whole number or out of range gives Error 1031. A budget of
// 0 seconds means none was given.
Failure ReadLimitKeywords(const RunParameters& run, ChannelLimits& limits, int& budgetSeconds);

// ",PARALLEL=n", 1 to 64: at most n systems of a group measured at once.
// Without it `parallel` keeps its default.
Failure ReadParallelKeyword(const RunParameters& run, int& parallel);

}  // namespace fennick
