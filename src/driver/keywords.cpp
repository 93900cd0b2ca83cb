#include "driver/keywords.h"

#include <algorithm>

#include "output/result_writer.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"
#include "rfc/backend.h"

namespace fennick {

namespace {

enum class Reading {
  Present,       // a flag: the keyword is there
  AnyOf,         // a flag: any of the keyword's characters is there
  Item,          // ITEM=: up to a blank or a comma, 90 characters, ":" as blank
  Override,      // up to a comma or a blank; an empty value overrides nothing
  Number,        // a whole number in range, else Error 1031
  Names,         // up to a comma or a blank, not empty, else Error 1031
  ChannelDigits  // CH=: up to three characters before a comma, leading digits
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
    {",HOST=", kBoth, Reading::Override, 0, 0, nullptr, &RunSwitches::hostOverride, nullptr},
    {",NO=", kBoth, Reading::Override, 0, 0, nullptr, &RunSwitches::sysnrOverride, nullptr},
    {"MEGABYTE", kBoth, Reading::Present, 0, 0, &RunSwitches::megabyte, nullptr, nullptr},
    {"GIGABYTE", kBoth, Reading::Present, 0, 0, &RunSwitches::gigabyte, nullptr, nullptr},
    {"CH=", kBoth, Reading::ChannelDigits, 0, 0, nullptr, nullptr, &RunSwitches::channel},
    {",WARN=", kBoth, Reading::Number, 0, kLargestLimit, nullptr, nullptr, &RunSwitches::warning},
    {",ERROR=", kBoth, Reading::Number, 0, kLargestLimit, nullptr, nullptr, &RunSwitches::error},
    {",TIMEOUT=", kBoth, Reading::Number, 1, 3600, nullptr, nullptr, &RunSwitches::timeout},
    {",PARALLEL=", kBoth, Reading::Number, 1, 64, nullptr, nullptr, &RunSwitches::parallel},
    {",EXCLUDE=", kBoth, Reading::Names, 0, 0, nullptr, &RunSwitches::exclude, nullptr},
    {",AUTOEXTEND", kBoth, Reading::Present, 0, 0, &RunSwitches::autoextend, nullptr, nullptr},
    {",DAYSLEFT", kBoth, Reading::Present, 0, 0, &RunSwitches::daysLeft, nullptr, nullptr},
};

// The keywords that choose an output form over Fennick.Ini, and the form
// each chooses. One run has one form.
struct FormKeyword {
  const char* name;
  const char* form;
};

const FormKeyword kFormKeywords[] = {
    {",NAGIOS", "Nagios"},
};

// The plugin-style options, and the keyword each stands for.
struct Option {
  const char* shortName;  // "-w N"
  const char* longName;   // "--warning=N"
  const char* keyword;
};

const Option kOptions[] = {
    {"-w", "--warning=", ",WARN="},
    {"-c", "--critical=", ",ERROR="},
    {"-t", "--timeout=", ",TIMEOUT="},
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

// Where a keyword stands in the upper-cased parameters, and how long it is
// there. One that begins with a comma is also found without it after a
// blank or at the start, as users type it.
size_t FindKeyword(const std::string& upper, const std::string& name, size_t& length) {
  length = name.size();
  if (name[0] != ',') return upper.find(name);
  const std::string body = name.substr(1);
  for (size_t at = upper.find(body); at != std::string::npos; at = upper.find(body, at + 1)) {
    if (at > 0 && upper[at - 1] == ',') return at - 1;
    if (at == 0 || upper[at - 1] == ' ') {
      length = body.size();
      return at;
    }
  }
  return std::string::npos;
}

void Invalid(const Keyword& k, RunSwitches& s) {
  if (s.badValue) return;
  s.badValue = NumberedFailure(1031, "Invalid Parameter-Value " + std::string(k.name) + " !");
  s.badKeyword = k.name;
}

// A good value given later takes back the keyword's bad one.
void Valid(const Keyword& k, RunSwitches& s) {
  if (s.badKeyword != k.name) return;
  s.badValue.reset();
  s.badKeyword.clear();
}

void ReadKeyword(const Keyword& k, const std::string& upper, const std::string& typed, RunSwitches& s) {
  if (k.reading == Reading::AnyOf) {
    if (upper.find_first_of(k.name) != std::string::npos) s.*k.flag = true;
    return;
  }
  size_t length = 0;
  const size_t found = FindKeyword(upper, k.name, length);
  if (found == std::string::npos) return;
  const size_t start = found + length;
  const std::string value =
      start >= typed.size() ? std::string() : typed.substr(start, typed.find_first_of(", ", start) - start);
  switch (k.reading) {
    case Reading::AnyOf:
    case Reading::Present: s.*k.flag = true; break;
    case Reading::Item: s.*k.text = ExtractItemName(typed, start); break;
    case Reading::Override:
      if (!value.empty()) s.*k.text = value;
      break;
    case Reading::ChannelDigits: s.*k.number = ChannelNumber(typed, start); break;
    case Reading::Names:
      if (value.empty()) return Invalid(k, s);
      s.*k.text = value;
      Valid(k, s);
      break;
    case Reading::Number: {
      int64_t number = 0;
      if (!WholeNumber(value, k.smallest, k.largest, number)) return Invalid(k, s);
      s.*k.number = number;
      Valid(k, s);
      break;
    }
  }
}

// The option's value: what follows "--long=", or the next argument after
// "-x"; none when the option is no option of ours.
bool OptionValue(const Option& option, const std::vector<std::string>& args, size_t& i, std::string& value) {
  const std::string& arg = args[i];
  if (arg.rfind(option.longName, 0) == 0) {
    value = arg.substr(std::string(option.longName).size());
    return true;
  }
  if (arg != option.shortName) return false;
  value = i + 1 < args.size() ? args[++i] : std::string();
  return true;
}

// The keyword text of one argument that begins with "-"; false for an
// argument that is no option of ours.
bool ReadOption(const std::vector<std::string>& args, size_t& i, std::string& options) {
  for (const Option& option : kOptions) {
    std::string value;
    if (!OptionValue(option, args, i, value)) continue;
    // A blank or a comma would end the value early: such a value is bad.
    if (value.find_first_of(", ") != std::string::npos) value = "?";
    // The first of each kind counts, as with keywords.
    if (options.find(option.keyword) == std::string::npos) options += std::string(option.keyword) + value + " ";
    return true;
  }
  return false;
}

// The form keywords of the parameters in the order they stand there: the
// first chooses the form, and another one after it is Error 1031.
void ReadFormKeywords(const std::string& upper, RunSwitches& s) {
  std::vector<std::pair<size_t, const FormKeyword*>> found;
  for (const FormKeyword& k : kFormKeywords) {
    size_t length = 0;
    const size_t at = FindKeyword(upper, k.name, length);
    if (at != std::string::npos) found.emplace_back(at, &k);
  }
  std::sort(found.begin(), found.end());
  for (const auto& entry : found) {
    const FormKeyword& k = *entry.second;
    if (s.formChosen.empty()) {
      s.formChosen = k.form;
      s.formKeyword = k.name;
    } else if (s.formKeyword != k.name && !s.badForm) {
      s.badForm = NumberedFailure(1031, "Invalid Parameter-Value " + std::string(k.name) + " !");
    }
  }
}

}  // namespace

void ReadKeywords(const std::string& parameterString, const std::string& parameterText, unsigned source,
                  RunSwitches& switches) {
  ReadFormKeywords(parameterString, switches);
  for (const Keyword& keyword : kKeywords) {
    if (keyword.sources & source) ReadKeyword(keyword, parameterString, parameterText, switches);
  }
}

std::string ParameterWords(const std::vector<std::string>& args, std::string& options, RunSwitches& switches) {
  std::string words;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-') {
      if (ReadOption(args, i, options)) continue;
      if (!switches.badOption) switches.badOption = NumberedFailure(1031, "Invalid Parameter-Value " + arg + " !");
      continue;
    }
    words += (i == 2 ? "" : " ") + arg;
  }
  return words;
}

Failure KeywordProblem(const RunSwitches& s) {
  if (s.badOption) return s.badOption;
  if (s.badForm) return s.badForm;
  if (s.badKeyword == ",WARN=" || s.badKeyword == ",ERROR=") return s.badValue;
  // A warning that comes after the error helps nobody; equal limits may be.
  if (s.warning && s.error && *s.warning < *s.error) return NumberedFailure(1031, "Invalid Parameter-Value ,WARN= !");
  if (s.badValue) return s.badValue;
  // One unit per sensor: days, or free space in MB or GB.
  if (s.daysLeft && (s.megabyte || s.gigabyte)) return NumberedFailure(1031, "Invalid Parameter-Value ,DAYSLEFT !");
  return std::nullopt;
}

std::vector<std::string> ExcludedNames(const RunSwitches& switches) {
  std::vector<std::string> names;
  if (!switches.exclude) return names;
  const std::string list = ToUpper(*switches.exclude);
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(':', start), list.size());
    if (end > start) names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

void ForgetSensorKeywords(RunSwitches& switches) {
  for (const Keyword& k : kKeywords) {
    if (!(k.sources & kSensorLine)) continue;
    // A form keyword on the command line chose the form before the listing
    // was read, and keeps it (it is not in this table).
    if (k.flag) switches.*k.flag = false;
    if (k.text) (switches.*k.text).reset();
    if (k.number) (switches.*k.number).reset();
  }
  switches.badValue.reset();
  switches.badKeyword.clear();
}

ChannelUnit UnitOf(const RunSwitches& switches) {
  if (switches.gigabyte) return ChannelUnit::Gigabyte;
  if (switches.megabyte) return ChannelUnit::Megabyte;
  return ChannelUnit::Percent;
}

ChannelRules RulesOf(const RunSwitches& switches) {
  ChannelRules rules;
  rules.unit = UnitOf(switches);
  rules.autoextend = switches.autoextend;
  rules.alerting = switches.warning || switches.error;
  rules.excluded = ExcludedNames(switches);
  rules.daysLeft = switches.daysLeft;
  return rules;
}

int BudgetSeconds(const RunSwitches& switches) { return static_cast<int>(switches.timeout.value_or(0)); }

int ParallelOf(const RunSwitches& switches) { return static_cast<int>(switches.parallel.value_or(kDefaultParallel)); }

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
