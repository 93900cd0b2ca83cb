#include "driver/keywords.h"

#include "output/result_writer.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"
#include "rfc/backend.h"

namespace fennick {

namespace {

enum class Reading {
  Present,      // a flag: the keyword is there
  AnyOf,        // a flag: any of the keyword's characters is there
  Item,         // ITEM=: up to a blank or a comma, 90 characters, ":" as blank
  Override,     // up to a comma or a blank; an empty value overrides nothing
  Number,       // a whole number in range, else Error 1031
  ChannelDigits // CH=: up to three characters before a comma, leading digits
};

struct Keyword {
  const char* name;  // as searched in the upper-cased parameters
  unsigned sources;
  Reading reading;
  int64_t smallest, largest;  // Number
  bool RunSwitches::*flag;
  std::optional<std::string> RunSwitches::*text;
  std::optional<int64_t> RunSwitches::*number;
};

constexpr int64_t kLargestLimit = 2147483647;
constexpr unsigned kBoth = kCommandLine | kSensorLine;

// Every keyword of the parameters. The order is the order in which bad
// values are named.
const Keyword kKeywords[] = {
    {"#@$%", kCommandLine, Reading::AnyOf, 0, 0, &RunSwitches::consoleReport, nullptr, nullptr},
    {"@", kCommandLine, Reading::Present, 0, 0, &RunSwitches::profileAsGiven, nullptr, nullptr},
    {",SYSLOG", kCommandLine, Reading::Present, 0, 0, &RunSwitches::syslog, nullptr, nullptr},
    {"ITEM=", kCommandLine, Reading::Item, 0, 0, nullptr, &RunSwitches::item, nullptr},
    {",NAGIOS", kBoth, Reading::Present, 0, 0, &RunSwitches::plugin, nullptr, nullptr},
    {",HOST=", kBoth, Reading::Override, 0, 0, nullptr, &RunSwitches::hostOverride, nullptr},
    {",NO=", kBoth, Reading::Override, 0, 0, nullptr, &RunSwitches::sysnrOverride, nullptr},
    {"MEGABYTE", kBoth, Reading::Present, 0, 0, &RunSwitches::megabyte, nullptr, nullptr},
    {"GIGABYTE", kBoth, Reading::Present, 0, 0, &RunSwitches::gigabyte, nullptr, nullptr},
    {"CH=", kBoth, Reading::ChannelDigits, 0, 0, nullptr, nullptr, &RunSwitches::channel},
    {",WARN=", kBoth, Reading::Number, 0, kLargestLimit, nullptr, nullptr, &RunSwitches::warning},
    {",ERROR=", kBoth, Reading::Number, 0, kLargestLimit, nullptr, nullptr, &RunSwitches::error},
    {",TIMEOUT=", kBoth, Reading::Number, 1, 3600, nullptr, nullptr, &RunSwitches::timeout},
    {",PARALLEL=", kBoth, Reading::Number, 1, 64, nullptr, nullptr, &RunSwitches::parallel},
};

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

// Up to three characters behind the keyword, before any comma, read as a number.
int64_t ChannelNumber(const std::string& parameterText, size_t start) {
  std::string digits = parameterText.substr(std::min(start, parameterText.size()), 3);
  return LeadingInteger(digits.substr(0, digits.find(',')));
}

void ReadKeyword(const Keyword& k, const std::string& upper, const std::string& typed, RunSwitches& s) {
  if (k.reading == Reading::AnyOf) {
    if (upper.find_first_of(k.name) != std::string::npos) s.*k.flag = true;
    return;
  }
  const size_t at = upper.find(k.name);
  if (at == std::string::npos) return;
  const size_t start = at + std::string(k.name).size();
  std::optional<std::string> value = KeywordValue(upper, typed, k.name);
  switch (k.reading) {
    case Reading::AnyOf:
    case Reading::Present: s.*k.flag = true; break;
    case Reading::Item: s.*k.text = ExtractItemName(typed, start); break;
    case Reading::Override:
      if (!value->empty()) s.*k.text = *value;
      break;
    case Reading::ChannelDigits: s.*k.number = ChannelNumber(typed, start); break;
    case Reading::Number: {
      int64_t number = 0;
      if (WholeNumber(*value, k.smallest, k.largest, number)) {
        s.*k.number = number;
      } else if (!s.badValue) {
        s.badValue = NumberedFailure(1031, "Invalid Parameter-Value " + std::string(k.name) + " !");
      }
      break;
    }
  }
}

}  // namespace

void ReadKeywords(const std::string& parameterString, const std::string& parameterText, unsigned source,
                  RunSwitches& switches) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.sources & source) ReadKeyword(keyword, parameterString, parameterText, switches);
  }
}

void ForgetSensorKeywords(RunSwitches& switches) {
  for (const Keyword& k : kKeywords) {
    if (!(k.sources & kSensorLine)) continue;
    // ",NAGIOS" on the command line chose the form before the listing was
    // read, and keeps it.
    if (k.flag && k.flag != &RunSwitches::plugin) switches.*k.flag = false;
    if (k.text) (switches.*k.text).reset();
    if (k.number) (switches.*k.number).reset();
  }
  switches.badValue.reset();
}

ChannelUnit UnitOf(const RunSwitches& switches) {
  if (switches.gigabyte) return ChannelUnit::Gigabyte;
  if (switches.megabyte) return ChannelUnit::Megabyte;
  return ChannelUnit::Percent;
}

int BudgetSeconds(const RunSwitches& switches) { return static_cast<int>(switches.timeout.value_or(0)); }

int ParallelOf(const RunSwitches& switches) {
  return static_cast<int>(switches.parallel.value_or(kDefaultParallel));
}

void ApplyWriterSwitches(const RunSwitches& switches, ResultWriter& writer) {
  writer.limits.warning = switches.warning;
  writer.limits.error = switches.error;
  writer.singleChannel = switches.channel.has_value();
  writer.requestedChannel = switches.channel.value_or(0);
}

LogonRequest LogonFor(const RunSwitches& switches, const SystemEntry& entry) {
  LogonRequest request;
  request.entry = entry;
  request.hostOverride = switches.hostOverride;
  request.sysnrOverride = switches.sysnrOverride;
  request.consoleReport = switches.consoleReport;
  return request;
}

}  // namespace fennick
