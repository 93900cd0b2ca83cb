#include "history/history_text.h"

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
  const char* last = end - p > kMostDigits ? p + kMostDigits : end;
  int64_t number = 0;
  for (unsigned digit; p < last && (digit = static_cast<unsigned>(*p - '0')) < 10; ++p) number = number * 10 + digit;
  if (p < end && p == last && static_cast<unsigned>(*p - '0') < 10) return false;  // too many digits
  value = negative ? -number : number;
  return p > start;
}

// The time, used KB and, where the line has it, the capacity.
bool ReadSample(const char* p, const char* end, HistorySample& sample, bool& withCapacity) {
  if (!ReadNumber(p, end, false, sample.time) || sample.time > kLatestTime || !SkipBlanks(p, end) ||
      !ReadNumber(p, end, true, sample.usedKb)) {
    return false;
  }
  withCapacity = p < end;
  return !withCapacity || (SkipBlanks(p, end) && ReadNumber(p, end, true, sample.capacityKb) && p == end);
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

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end.ptr);
}

}  // namespace

const char* LineTextEnd(const char* begin, const char* end) {
  if (end > begin && end[-1] == '\r') --end;
  while (end > begin && IsBlank(end[-1])) --end;
  return end;
}

bool IsHistoryFirstLine(const char* begin, const char* end) {
  const size_t length = static_cast<size_t>(end - begin);
  return length == sizeof kHistoryFirstLine - 1 && std::memcmp(begin, kHistoryFirstLine, length) == 0;
}

HistoryLine ReadHistoryLine(const char* begin, const char* end, std::string& name, HistorySample& sample,
                            bool& withCapacity) {
  if (begin == end) return HistoryLine::Empty;
  // Samples start with a digit: they are most lines, and told apart first.
  if (static_cast<unsigned>(*begin - '0') < 10) {
    return ReadSample(begin, end, sample, withCapacity) ? HistoryLine::Sample : HistoryLine::Broken;
  }
  const size_t length = static_cast<size_t>(end - begin);
  if (length > kTablespaceWordLength && std::memcmp(begin, kTablespaceWord, kTablespaceWordLength) == 0 &&
      Unescape(begin + kTablespaceWordLength, end, name)) {
    return HistoryLine::Tablespace;
  }
  return HistoryLine::Broken;
}

void AppendTablespaceLine(std::string& out, const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  out += kTablespaceWord;
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
  out += '\n';
}

void AppendSampleLine(std::string& out, const HistorySample& sample, bool withCapacity) {
  AppendNumber(out, sample.time);
  out += ' ';
  AppendNumber(out, sample.usedKb);
  if (withCapacity) {
    out += ' ';
    AppendNumber(out, sample.capacityKb);
  }
  out += '\n';
}

}  // namespace fennick
