#include "driver/limit_keywords.h"

#include <optional>
#include <string>

#include "profile/text_util.h"

namespace fennick {

namespace {

bool WholeNumber(const std::string& text, int64_t smallest, int64_t largest, int64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > largest) return false;  // also keeps the sum from overflowing
  }
  return value >= smallest;
}

RunFailure Invalid(const std::string& keyword) { return RunFailure{"Error 1031: Invalid Parameter-Value " + keyword + " !"}; }

// One keyword's value; false when it is there but not a number in range.
bool ReadKeyword(const RunParameters& run, const std::string& keyword, int64_t smallest, int64_t largest,
                 std::optional<int64_t>& value) {
  std::optional<std::string> text = KeywordValue(run.parameterString, run.parameterText, keyword);
  if (!text) return true;
  int64_t number = 0;
  if (!WholeNumber(*text, smallest, largest, number)) return false;
  value = number;
  return true;
}

}  // namespace

Failure ReadLimitKeywords(const RunParameters& run, ChannelLimits& limits, int& budgetSeconds) {
  if (!ReadKeyword(run, ",WARN=", 0, kLargestLimit, limits.warning)) return Invalid(",WARN=");
  if (!ReadKeyword(run, ",ERROR=", 0, kLargestLimit, limits.error)) return Invalid(",ERROR=");
  std::optional<int64_t> budget;
  if (!ReadKeyword(run, ",TIMEOUT=", 1, kLongestBudgetSeconds, budget)) return Invalid(",TIMEOUT=");
  budgetSeconds = budget ? static_cast<int>(*budget) : 0;
  return std::nullopt;
}

Failure ReadParallelKeyword(const RunParameters& run, int& parallel) {
  std::optional<int64_t> value;
  if (!ReadKeyword(run, ",PARALLEL=", 1, kMostParallel, value)) return Invalid(",PARALLEL=");
  if (value) parallel = static_cast<int>(*value);
  return std::nullopt;
}

}  // namespace fennick
