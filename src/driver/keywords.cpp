#include "driver/keywords.h"

#include <algorithm>
#include <cstring>

#include "output/result_writer.h"
#include "platform/paths.h"
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
    {",ZABBIX", "Zabbix"},
    {",PROMETHEUS", "Prometheus"},
    {",CHECKMK", "Checkmk"},
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

// Words a global sensor's line carries beside the keywords: how its systems
// are labelled, and the sensor assignment (",Sensor=" and a quoted value).
const char* const kSensorLineWords[] = {",PROFILE", ",ALIAS", ",HOST", ",SID", ",SENSOR="};

// A keyword, a form keyword or a word of the sensor line, as found in the
// parameters: where its value begins.
struct Found {
  const Keyword* keyword = nullptr;
  const FormKeyword* form = nullptr;
  size_t valueAt = 0;
};

// Everything the parameters hold that is read, in the order it stands
// there, and the first word that looks like a keyword but is none.
struct Scan {
  std::vector<Found> found;
  std::string unknown;
};

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool IsWordCharacter(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

// The word that begins at `at` in the upper-cased parameters: a comma where
// it has one, letters, digits and "_", then its "=" where one follows.
std::string WordAt(const std::string& upper, size_t at) {
  size_t end = at + (upper[at] == ',' ? 1 : 0);
  while (end < upper.size() && IsWordCharacter(upper[end])) ++end;
  if (end < upper.size() && upper[end] == '=') ++end;
  return upper.substr(at, end - at);
}

// How keywords are written: a comma and two letters, or (at the start or
// after a blank) two letters and, at the end, "=".
bool LooksLikeKeyword(const std::string& word) {
  const size_t first = word[0] == ',' ? 1 : 0;
  if (word.size() < first + 2 || !IsLetter(word[first]) || !IsLetter(word[first + 1])) return false;
  return first == 1 || word.back() == '=';
}

// A name of a table written as `word`: whole, with or without its comma.
// Names of characters alone ("@") are no words.
bool NamesWord(const char* name, const std::string& word) {
  if (!IsLetter(name[0]) && !IsLetter(name[1])) return false;
  if (word == name) return true;
  if (name[0] == ',') return word == name + 1;
  return word[0] == ',' && word.compare(1, std::string::npos, name) == 0;
}

// Where the value of a keyword ends in the parameters: at a comma or a
// blank; the sensor assignment's quoted value at its closing quote.
size_t ValueEnd(const std::string& upper, size_t at, bool hasValue, bool quoted) {
  if (!hasValue || at >= upper.size()) return at;
  if (quoted && upper[at] == '"') return std::min(upper.find('"', at + 1), upper.size() - 1) + 1;
  return std::min(upper.find_first_of(", ", at), upper.size());
}

bool HasValue(const Keyword& k) { return k.reading != Reading::Present && k.reading != Reading::AnyOf; }

// The word at a word's start, whole: a keyword, a form keyword, a word of
// the sensor line. Returns where reading goes on; `at` itself when the word
// is none of them.
size_t ReadWord(const std::string& upper, size_t at, Scan& scan) {
  const std::string word = WordAt(upper, at);
  if (word.empty() || word == ",") return at;
  const size_t valueAt = at + word.size();
  for (const Keyword& k : kKeywords) {
    if (!NamesWord(k.name, word)) continue;
    scan.found.push_back(Found{&k, nullptr, valueAt});
    return ValueEnd(upper, valueAt, HasValue(k), false);
  }
  for (const FormKeyword& k : kFormKeywords) {
    if (!NamesWord(k.name, word)) continue;
    scan.found.push_back(Found{nullptr, &k, valueAt});
    return valueAt;
  }
  for (const char* name : kSensorLineWords) {
    if (NamesWord(name, word)) return ValueEnd(upper, valueAt, word.back() == '=', true);
  }
  if (!LooksLikeKeyword(word)) return at;
  if (scan.unknown.empty()) scan.unknown = word;
  return valueAt;
}

// How long a name stands at `at` where it is searched inside other text, as
// it always was: a console character anywhere, a keyword without a comma
// anywhere, a flag written without its comma at the start of a word
// ("AUTOEXTENDED"). 0 where it does not stand.
size_t LengthHere(const char* name, bool anyCharacter, bool flag, const std::string& upper, size_t at, bool wordStart) {
  if (anyCharacter) return upper[at] != '\0' && std::strchr(name, upper[at]) ? 1 : 0;
  const size_t length = std::strlen(name);
  if (name[0] != ',') return upper.compare(at, length, name) == 0 ? length : 0;
  if (!wordStart || !flag) return 0;
  return upper.compare(at, length - 1, name + 1) == 0 ? length - 1 : 0;
}

// What is searched inside other text. Returns where reading goes on; `at`
// itself when nothing stands there.
size_t ReadInsideText(const std::string& upper, size_t at, bool wordStart, Scan& scan) {
  size_t next = at;
  for (const Keyword& k : kKeywords) {
    const size_t length = LengthHere(k.name, k.reading == Reading::AnyOf, !HasValue(k), upper, at, wordStart);
    if (length == 0) continue;
    scan.found.push_back(Found{&k, nullptr, at + length});
    next = std::max(next, ValueEnd(upper, at + length, HasValue(k), false));
  }
  for (const FormKeyword& k : kFormKeywords) {
    const size_t length = LengthHere(k.name, false, true, upper, at, wordStart);
    if (length == 0) continue;
    scan.found.push_back(Found{nullptr, &k, at + length});
    next = std::max(next, at + length);
  }
  return next;
}

// Reads the parameters from the left: a word that begins at a comma, or at
// the start or after a blank, is taken whole and the value of a keyword is
// skipped, so that nothing inside a value is read as a keyword
// (",EXCLUDE=SYS$AUX" reports nothing on the console).
Scan ScanParameters(const std::string& upper) {
  Scan scan;
  for (size_t at = 0; at < upper.size();) {
    const bool wordStart = at == 0 || upper[at - 1] == ' ';
    if (upper[at] == ',' || wordStart) {
      const size_t next = ReadWord(upper, at, scan);
      if (next != at) {
        at = next;
        continue;
      }
    }
    const size_t next = ReadInsideText(upper, at, wordStart, scan);
    at = next != at ? next : at + 1;
  }
  return scan;
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

void ReadKeyword(const Keyword& k, size_t start, const std::string& typed, RunSwitches& s) {
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

// The form keywords in the order they stand: the first chooses the form,
// and another one after it is Error 1031.
void ReadFormKeyword(const FormKeyword& k, RunSwitches& s) {
  if (s.formChosen.empty()) {
    s.formChosen = k.form;
    s.formKeyword = k.name;
  } else if (s.formKeyword != k.name && !s.badForm) {
    s.badForm = NumberedFailure(1031, "Invalid Parameter-Value " + std::string(k.name) + " !");
  }
}

}  // namespace

void ReadKeywords(const std::string& parameterString, const std::string& parameterText, unsigned source,
                  RunSwitches& switches) {
  const Scan scan = ScanParameters(parameterString);
  if (!scan.unknown.empty() && !switches.unknownWord) {
    switches.unknownWord = NumberedFailure(1031, "Invalid Parameter-Value " + scan.unknown + " !");
  }
  for (const Found& found : scan.found) {
    if (found.form) ReadFormKeyword(*found.form, switches);
  }
  // The first of each keyword counts.
  for (const Keyword& keyword : kKeywords) {
    if (!(keyword.sources & source)) continue;
    for (const Found& found : scan.found) {
      if (found.keyword != &keyword) continue;
      ReadKeyword(keyword, found.valueAt, parameterText, switches);
      break;
    }
  }
}

void CompareWithOptions(const std::string& parameterString, const std::string& parameterText,
                        const std::string& options, RunSwitches& switches) {
  RunSwitches typed, given;
  ReadKeywords(parameterString, parameterText, kCommandLine, typed);
  ReadKeywords(ToUpper(options), options, kCommandLine, given);
  for (const Keyword& k : kKeywords) {
    if (k.reading != Reading::Number) continue;
    const std::optional<int64_t>& keyword = typed.*k.number;
    const std::optional<int64_t>& option = given.*k.number;
    if (keyword && option && *keyword != *option && !switches.conflict) {
      switches.conflict = NumberedFailure(1031, "Invalid Parameter-Value " + std::string(k.name) + " !");
    }
  }
}

Failure KeywordProblem(const RunSwitches& s) {
  if (s.badOption) return s.badOption;
  if (s.unknownWord) return s.unknownWord;
  if (s.conflict) return s.conflict;
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

LogonRequest LogonFor(const RunSwitches& switches, const SystemEntry& entry, const std::string& profileDirectory) {
  LogonRequest request;
  request.profileDirectory = NativePath(profileDirectory, switches.driveRoot);
  request.entry = entry;
  request.hostOverride = switches.hostOverride;
  request.sysnrOverride = switches.sysnrOverride;
  request.consoleReport = switches.consoleReport;
  return request;
}

}  // namespace fennick
