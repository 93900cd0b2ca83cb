#include "history/history_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace fennick {

const char kHistoryFirstLine[] = "Fennick history 1";

namespace {

const char kTablespaceWord[] = "tablespace ";
const size_t kTablespaceWordLength = sizeof kTablespaceWord - 1;

// Year 9999: a time beyond it is no clock's.
const int64_t kLatestTime = 253402300799;

// Eighteen digits at most: no number of the file can overflow.
const int kMostDigits = 18;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SkipBlanks(const char*& p, const char* end) {
  const char* start = p;
  while (p < end && IsBlank(*p)) ++p;
  return p > start;
}

bool ReadNumber(const char*& p, const char* end, bool signedNumber, int64_t& value) {
  const bool negative = signedNumber && p < end && *p == '-';
  if (negative) ++p;
  const char* start = p;
  int64_t number = 0;
  for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p) {
    if (p - start == kMostDigits) return false;
    number = number * 10 + (*p - '0');
  }
  value = negative ? -number : number;
  return p > start;
}

bool ReadSample(const char* p, const char* end, HistorySample& sample) {
  return ReadNumber(p, end, false, sample.time) && sample.time <= kLatestTime && SkipBlanks(p, end) &&
         ReadNumber(p, end, true, sample.usedKb) && SkipBlanks(p, end) && ReadNumber(p, end, true, sample.capacityKb) &&
         p == end;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool NeedsEscape(unsigned char c) { return c <= ' ' || c == 0x7F || c == '%'; }

bool Unescape(const char* p, const char* end, std::string& name) {
  name.clear();
  for (; p < end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c != '%') {
      if (NeedsEscape(c)) return false;
      name += static_cast<char>(c);
      continue;
    }
    if (end - p < 3 || HexValue(p[1]) < 0 || HexValue(p[2]) < 0) return false;
    name += static_cast<char>(HexValue(p[1]) * 16 + HexValue(p[2]));
    p += 2;
  }
  return !name.empty();
}

void AppendEscaped(std::string& out, const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (NeedsEscape(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
}

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end.ptr);
}

std::string Problem(size_t lineNumber, const std::string& what) {
  return "line " + std::to_string(lineNumber) + ": " + what;
}

// Each tablespace once: the names sorted, neighbours compared.
bool EachNameOnce(const std::vector<TablespaceHistory>& history, std::string& twice) {
  std::vector<const std::string*> names;
  names.reserve(history.size());
  for (const TablespaceHistory& tablespace : history) names.push_back(&tablespace.name);
  std::sort(names.begin(), names.end(), [](const std::string* a, const std::string* b) { return *a < *b; });
  for (size_t i = 1; i < names.size(); ++i) {
    if (*names[i] == *names[i - 1]) {
      twice = *names[i];
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseHistory(const std::string& text, std::vector<TablespaceHistory>& history, std::string& problem) {
  history.clear();
  const char* p = text.data();
  const char* const end = p + text.size();
  // An editor's UTF-8 mark.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) p += 3;
  size_t lineNumber = 0;
  while (p < end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!lineEnd) lineEnd = end;
    const char* line = p;
    p = lineEnd < end ? lineEnd + 1 : end;
    ++lineNumber;
    const char* last = lineEnd;
    if (last > line && last[-1] == '\r') --last;
    while (last > line && IsBlank(last[-1])) --last;
    const size_t length = static_cast<size_t>(last - line);
    if (lineNumber == 1) {
      if (length != sizeof kHistoryFirstLine - 1 || std::memcmp(line, kHistoryFirstLine, length) != 0) {
        problem = Problem(lineNumber, "not \"" + std::string(kHistoryFirstLine) + "\"");
        return false;
      }
      continue;
    }
    if (length == 0) continue;
    if (length > kTablespaceWordLength && std::memcmp(line, kTablespaceWord, kTablespaceWordLength) == 0) {
      history.emplace_back();
      if (!Unescape(line + kTablespaceWordLength, last, history.back().name)) {
        problem = Problem(lineNumber, "not a tablespace's name");
        return false;
      }
      continue;
    }
    HistorySample sample;
    if (!ReadSample(line, last, sample)) {
      problem = Problem(lineNumber, "not a sample");
      return false;
    }
    if (history.empty()) {
      problem = Problem(lineNumber, "a sample before any tablespace");
      return false;
    }
    std::vector<HistorySample>& samples = history.back().samples;
    if (!samples.empty() && HourOf(sample.time) <= HourOf(samples.back().time)) {
      problem = Problem(lineNumber, "not in a later hour than the sample before it");
      return false;
    }
    sample.line = line;
    sample.lineLength = length;
    samples.push_back(sample);
  }
  if (lineNumber == 0) {
    problem = Problem(1, "empty");
    return false;
  }
  std::string twice;
  if (!EachNameOnce(history, twice)) {
    problem = "tablespace " + twice + " more than once";
    return false;
  }
  return true;
}

std::string HistoryText(const std::vector<TablespaceHistory>& history) {
  size_t size = sizeof kHistoryFirstLine;
  for (const TablespaceHistory& tablespace : history) size += 32 + tablespace.samples.size() * 32;
  std::string out;
  out.reserve(size);
  out += kHistoryFirstLine;
  out += '\n';
  for (const TablespaceHistory& tablespace : history) {
    out += kTablespaceWord;
    AppendEscaped(out, tablespace.name);
    out += '\n';
    for (const HistorySample& sample : tablespace.samples) {
      if (sample.line) {
        out.append(sample.line, sample.lineLength);
      } else {
        AppendNumber(out, sample.time);
        out += ' ';
        AppendNumber(out, sample.usedKb);
        out += ' ';
        AppendNumber(out, sample.capacityKb);
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace fennick
