#include "sim_config.h"

#include <cstring>

#include "sim_text.h"

namespace rfcsim {

namespace {

struct LineError {
  std::string text;  // empty: the line was fine
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseSize(const std::string& word, SizeValue& size) {
  if (!word.empty() && (word[0] == 'x' || word[0] == 'X')) {
    if (word.size() != 17) return false;
    std::string bytes;
    for (size_t i = 1; i < word.size(); i += 2) {
      int high = HexDigit(word[i]);
      int low = HexDigit(word[i + 1]);
      if (high < 0 || low < 0) return false;
      bytes.push_back(static_cast<char>(high * 16 + low));
    }
    size.raw = true;
    size.rawBytes = bytes;
    return true;
  }
  size.raw = false;
  return ParseInt64(word, size.number);
}

std::string BadNumber(const std::string& word) { return "bad number '" + word + "'"; }

LineError ParseTablespace(const std::string& value, SystemConfig& system) {
  std::vector<std::string> words = SplitWords(value);
  Tablespace row;
  const char kGrowth[] = "growth=";
  if (words.size() > 4 && EqualsIgnoreCase(words.back().substr(0, sizeof kGrowth - 1), kGrowth)) {
    int64_t growth = 0;
    const std::string number = words.back().substr(sizeof kGrowth - 1);
    if (!ParseInt64(number, growth)) return {BadNumber(number)};
    row.growthKb = growth;
    words.pop_back();
  }
  if (words.size() < 4 || words.size() > 6)
    return {"tablespace needs NAME SIZE_KB FREE_KB PCTUSED [AUTOMAX_KB [STATUS]]"};
  row.name = words[0];
  if (!ParseSize(words[1], row.size)) return {BadNumber(words[1])};
  if (!ParseSize(words[2], row.free)) return {BadNumber(words[2])};
  if (!ParseInt32(words[3], row.pctUsed)) return {BadNumber(words[3])};
  if (words.size() > 4) {
    if (words[4].size() > kAutoMaxLength) return {"autoextend maximum longer than 14 characters: '" + words[4] + "'"};
    row.autoMax = words[4];
  }
  if (words.size() > 5) {
    if (words[5].size() > kStatusLength) return {"status longer than 9 characters: '" + words[5] + "'"};
    row.status = words[5];
  }
  system.tablespaces.push_back(row);
  return {};
}

// A value in double quotes keeps its blanks at either end.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

LineError ParseFault(const std::string& value, SystemConfig& system) {
  std::vector<std::string> words = SplitWords(value);
  if (words.empty()) return {"fault needs a kind"};
  const std::string& kind = words[0];
  const size_t arguments = words.size() - 1;
  Fault fault;
  static const struct {
    const char* name;
    FaultKind kind;
  } kPlainFaults[] = {{"logon", FaultKind::Logon},
                      {"itcreate", FaultKind::ItCreate},
                      {"itgetline", FaultKind::ItGetLine},
                      {"itdelete", FaultKind::ItDelete}};
  for (const auto& plain : kPlainFaults) {
    if (!EqualsIgnoreCase(kind, plain.name)) continue;
    if (arguments != 0) return {"fault " + kind + " takes no arguments"};
    fault.kind = plain.kind;
    system.faults.push_back(fault);
    return {};
  }
  if (EqualsIgnoreCase(kind, "call")) {
    if (arguments != 2) return {"fault call needs FUNCTION CODE"};
    fault.kind = FaultKind::Call;
    fault.target = words[1];
    if (!ParseInt32(words[2], fault.code)) return {BadNumber(words[2])};
  } else if (EqualsIgnoreCase(kind, "receive")) {
    if (arguments != 2 && arguments != 3) return {"fault receive needs FUNCTION CODE [EXCEPTION]"};
    fault.kind = FaultKind::Receive;
    fault.target = words[1];
    if (!ParseInt32(words[2], fault.code)) return {BadNumber(words[2])};
    if (arguments == 3) fault.exception = words[3];
  } else if (EqualsIgnoreCase(kind, "handler")) {
    // Any name: the handler fires when an operation of that name runs.
    if (arguments != 1) return {"fault handler needs OPERATION"};
    fault.kind = FaultKind::Handler;
    fault.target = words[1];
  } else if (EqualsIgnoreCase(kind, "install")) {
    if (arguments != 1) return {"fault install needs STRUCTURE"};
    fault.kind = FaultKind::Install;
    fault.target = words[1];
  } else {
    return {"unknown fault kind '" + kind + "'"};
  }
  system.faults.push_back(fault);
  return {};
}

LineError ParseLastError(const std::string& value, SystemConfig& system) {
  // The last part keeps any further bars.
  std::vector<std::string> parts;
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    size_t bar = value.find('|', start);
    if (bar == std::string::npos) return {"lasterror needs KEY|STATUS|MESSAGE|INTERNAL STATUS"};
    parts.push_back(Trim(value.substr(start, bar - start)));
    start = bar + 1;
  }
  parts.push_back(Trim(value.substr(start)));
  system.lastError = LastErrorText{parts[0], parts[1], parts[2], parts[3]};
  return {};
}

// The text fields the program reads, whose width differs between systems.
LineError ParseFieldWidth(const std::string& value, SystemConfig& system) {
  std::vector<std::string> words = SplitWords(value);
  if (words.size() != 2) return {"field_width needs FIELD WIDTH"};
  std::string field = Upper(words[0]);
  if (field != "TS" && field != "RFCDBSYS") return {"field_width knows TS and RFCDBSYS, not '" + words[0] + "'"};
  int32_t width = 0;
  if (!ParseInt32(words[1], width)) return {BadNumber(words[1])};
  if (width < 1 || width > kMaxFieldWidth) return {"field_width must be 1..255"};
  system.fieldWidths[field] = width;
  return {};
}

LineError ParseDelay(const char* key, const std::string& value, int32_t& delayMs) {
  int32_t delay = 0;
  if (!ParseInt32(value, delay)) return {BadNumber(value)};
  if (delay < 0 || delay > kMaxDelayMs) return {std::string(key) + " must be 0..60000"};
  delayMs = delay;
  return {};
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

LineError ParseStart(const std::string& value, SystemConfig& system) {
  const LineError bad{"start needs a date YYYY-MM-DD, not '" + value + "'"};
  if (value.size() != 10 || value[4] != '-' || value[7] != '-') return bad;
  int32_t year = 0, month = 0, day = 0;
  if (!ParseInt32(value.substr(0, 4), year) || !ParseInt32(value.substr(5, 2), month) ||
      !ParseInt32(value.substr(8, 2), day)) {
    return bad;
  }
  static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1]) return bad;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && day == 29 && !leap) return bad;
  system.startDay = DaysFromCivil(year, month, day);
  return {};
}

LineError ParseKey(const std::string& key, const std::string& value, SystemConfig& system) {
  // The length first: most names are told apart by it alone.
  auto is = [&key](const char* name) { return key.size() == std::strlen(name) && EqualsIgnoreCase(key, name); };
  // Most lines of a landscape are its tablespaces.
  if (is("tablespace")) return ParseTablespace(value, system);
  if (is("ashost")) {
    system.ashost = value;
  } else if (is("sysnr")) {
    int32_t number = 0;
    if (!ParseInt32(value, number)) return {BadNumber(value)};
    system.sysnr = number;
  } else if (is("gwhost")) {
    system.gwhost = value;
  } else if (is("gwserv")) {
    system.gwserv = value;
  } else if (is("mshost")) {
    system.mshost = value;
  } else if (is("client")) {
    system.client = value;
  } else if (is("user")) {
    system.user = value;
  } else if (is("passwd")) {
    system.passwd = value;
  } else if (is("dbsys")) {
    system.dbsys = value;
  } else if (is("fault")) {
    return ParseFault(value, system);
  } else if (is("lasterror")) {
    return ParseLastError(value, system);
  } else if (is("trace")) {
    system.trace.push_back(Unquoted(value));
  } else if (is("delay_ms")) {
    return ParseDelay("delay_ms", value, system.delayMs);
  } else if (is("close_delay_ms")) {
    return ParseDelay("close_delay_ms", value, system.closeDelayMs);
  } else if (is("field_width")) {
    return ParseFieldWidth(value, system);
  } else if (is("start")) {
    return ParseStart(value, system);
  } else {
    return {"unknown key '" + key + "'"};
  }
  return {};
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// [begin, end) of `text` without the blanks at either end.
void TrimRange(const std::string& text, size_t& begin, size_t& end) {
  while (begin < end && IsBlankChar(text[begin])) ++begin;
  while (end > begin && IsBlankChar(text[end - 1])) --end;
}

// Read by index, not by copies: a landscape of thousands of systems is read
// at every child's logon.
LineError ParseLine(const std::string& line, SimConfig& config) {
  size_t begin = 0, end = line.size();
  TrimRange(line, begin, end);
  if (begin == end || line[begin] == '#' || line[begin] == ';') return {};
  if (line[begin] == '[') {
    if (line[end - 1] != ']' || end - begin < 2) return {"bad section line"};
    std::string sid = Trim(line.substr(begin + 1, end - begin - 2));
    if (sid.empty()) return {"empty section name"};
    config.systems.emplace_back();
    config.systems.back().sid = sid;
    return {};
  }
  const size_t equals = line.find('=', begin);
  if (equals >= end || equals == begin) return {"expected [SID] or key = value"};
  size_t keyBegin = begin, keyEnd = equals, valueBegin = equals + 1, valueEnd = end;
  TrimRange(line, keyBegin, keyEnd);
  TrimRange(line, valueBegin, valueEnd);
  const std::string key = line.substr(keyBegin, keyEnd - keyBegin);
  if (config.systems.empty()) return {"key '" + key + "' before any section"};
  return ParseKey(key, line.substr(valueBegin, valueEnd - valueBegin), config.systems.back());
}

}  // namespace

ConfigResult ParseSimConfig(const std::string& text) {
  ConfigResult result;
  // Line by line as SplitLines cuts them, without holding them all: a
  // landscape of thousands of systems is read at every child's logon.
  std::string line;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    line.assign(text, start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    ++number;
    LineError error = ParseLine(line, result.config);
    if (!error.text.empty()) {
      result.errorLine = number;
      result.error = error.text;
      result.config = SimConfig();
      return result;
    }
  }
  result.ok = true;
  return result;
}

std::string ConfigErrorText(const ConfigResult& result) {
  return "sapsim.ini line " + std::to_string(result.errorLine) + ": " + result.error;
}

const Fault* FindFault(const SystemConfig& system, FaultKind kind, const std::string& target) {
  for (const Fault& fault : system.faults) {
    if (fault.kind == kind && fault.target == target) return &fault;
  }
  return nullptr;
}

}  // namespace rfcsim
