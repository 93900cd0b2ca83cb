// Numbers from SAP: packed decimal fields, the rows of table TS, and the
// texts made of them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver/keywords.h"
#include "fuzz_input.h"
#include "output/numbers.h"
#include "output/tablespace_evaluation.h"
#include "rfc/classic/packed_decimal.h"
#include "rfc/classic/structures.h"
#include "rfc/classic/tablespace_rows.h"

namespace {

// Hands out the input a piece at a time; zeros once it is used up.
struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;

  uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  int64_t Int64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | Byte();
    return static_cast<int64_t>(v);
  }
  std::vector<unsigned char> Bytes(size_t n) {
    std::vector<unsigned char> out(n);
    for (unsigned char& b : out) b = Byte();
    return out;
  }
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(data + pos), size - pos);
    pos = size;
    return out;
  }
};

bool IsDecimal(const std::string& text) {
  size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

void CheckPackedText(const unsigned char* field, size_t length, unsigned decimals) {
  std::string text = fennick::PackedToText(field, length, decimals);
  fuzz::Check(!text.empty() && (text[0] == '+' || text[0] == '-'), "packed text without a sign", text);
  if (length == 0) return;
  size_t digits = 2 * length - 1;
  size_t points = decimals > 0 && decimals <= digits ? 1 : 0;
  fuzz::Check(text.size() == 1 + digits + points, "packed text of the wrong length", text);
}

// The value of a valid packed field, worked out by arithmetic rather than
// through its text.
void CheckPackedValue(const unsigned char* field, size_t length) {
  if (length == 0 || length > 9) return;
  int64_t magnitude = 0;
  for (size_t i = 0; i < length; ++i) {
    const unsigned high = field[i] >> 4;
    const unsigned low = field[i] & 0x0F;
    if (high > 9) return;
    magnitude = magnitude * 10 + high;
    if (i + 1 < length) {
      if (low > 9) return;
      magnitude = magnitude * 10 + low;
    }
  }
  const unsigned sign = field[length - 1] & 0x0F;
  if (sign != 0x0C && sign != 0x0D && sign != 0x0F) return;
  const int64_t expected = sign == 0x0D ? -magnitude : magnitude;
  const int64_t value = fennick::PackedValue(field, length);
  fuzz::Check(value == expected, "packed value misread", std::to_string(value) + " != " + std::to_string(expected));
}

// "1234.567.890": the digits unchanged, full stops before the last two
// groups of three at most.
void CheckGrouping(const std::string& digits) {
  std::string grouped = fennick::GroupThousands(digits);
  std::string plain;
  size_t points = 0;
  for (char c : grouped) {
    if (c == '.') {
      ++points;
    } else {
      plain += c;
    }
  }
  fuzz::Check(plain == digits, "grouping changed the digits", grouped);
  fuzz::Check(points <= 2, "more than two full stops", grouped);
  size_t last = grouped.rfind('.');
  if (last != std::string::npos) fuzz::Check(grouped.size() - last == 4, "last group not of three", grouped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};

  // The fields of table TS are 8 bytes; other lengths must be safe too.
  std::vector<unsigned char> field = in.Bytes(fennick::kRowPackedLength);
  CheckPackedText(field.data(), field.size(), 0);
  CheckPackedValue(field.data(), field.size());
  const size_t length = in.Byte() % 17;
  const unsigned decimals = in.Byte() % 40;
  std::vector<unsigned char> other = in.Bytes(length);
  CheckPackedText(other.data(), other.size(), decimals);
  CheckPackedValue(other.data(), other.size());
  fennick::PackedValue(other.data(), other.size());

  // A row as the library hands it over.
  std::vector<unsigned char> row = in.Bytes(fennick::kTablespaceRowSize);
  fennick::TablespaceRow figures = fennick::ReadTablespaceRow(row.data());
  fuzz::Check(figures.name.size() <= fennick::kRowNameLength, "tablespace name overruns its field", figures.name);
  fuzz::Check(figures.name.empty() || figures.name.back() != ' ', "tablespace name keeps trailing blanks");
  fuzz::Check(figures.sizeKb == fennick::PackedValue(row.data() + fennick::kRowSizeOffset, fennick::kRowPackedLength),
              "size read from the wrong field");

  const int64_t totalSize = in.Int64();
  const int64_t totalFree = in.Int64();
  const uint64_t rows = static_cast<uint64_t>(in.Int64());
  const std::string summary = fennick::SummaryLine("PRD", rows, totalSize, totalFree);
  fuzz::Check(summary.rfind("(PRD) OraSizes: NoSpc=", 0) == 0 && summary.size() >= 2 &&
                  summary.compare(summary.size() - 2, 2, "% ") == 0,
              "summary line out of shape", summary);

  const bool itemRun = in.Byte() & 1;
  const std::string rest = in.Rest();
  for (std::string parameters : {std::string(), std::string("MEGABYTE"), std::string("GIGABYTE"), rest}) {
    std::string value, unit;
    fennick::RunSwitches switches;
    fennick::ReadKeywords(parameters, parameters, fennick::kCommandLine, switches);
    fennick::ChannelValue(fennick::UnitOf(switches), figures, itemRun, value, unit);
    fuzz::Check(IsDecimal(value), "channel value is not a number", value);
    fuzz::Check(unit == "%" || unit == "PerCent" || unit == "MByte" || unit == "GByte", "unknown unit", unit);
  }

  // The rest as a number text, with or without a minus.
  std::string digits;
  for (char c : rest) digits += static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
  CheckGrouping(digits);
  CheckGrouping("-" + digits);
  return 0;
}
