#include "output/tablespace_evaluation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/keywords.h"
#include "output/result_writer.h"
#include "rfc/classic/tablespace_rows.h"

namespace fennick {
namespace {

std::vector<unsigned char> Row(const std::string& name, int64_t sizeKb, int64_t freeKb, int32_t used) {
  std::vector<unsigned char> row(112, 0);
  std::string padded = name;
  padded.resize(30, ' ');
  std::memcpy(row.data(), padded.data(), 30);
  auto pack = [&](size_t offset, int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    digits.insert(0, 15 - digits.size(), '0');
    digits += value < 0 ? 'D' : 'C';
    for (size_t i = 0; i < 8; ++i) {
      auto nibble = [](char c) { return c >= 'A' ? c - 'A' + 10 : c - '0'; };
      row[offset + i] = static_cast<unsigned char>(nibble(digits[2 * i]) << 4 | nibble(digits[2 * i + 1]));
    }
  };
  pack(61, sizeKb);
  pack(69, freeKb);
  std::memcpy(row.data() + 80, &used, 4);
  return row;
}

TEST(TablespaceEvaluation, ReadsTheRowFields) {
  auto row = Row("PSAPSR3", 52428800, 10485760, 80);
  TablespaceRow f = ReadTablespaceRow(row.data());
  EXPECT_EQ(f.name, "PSAPSR3");
  EXPECT_EQ(f.sizeKb, 52428800);
  EXPECT_EQ(f.freeKb, 10485760);
  EXPECT_EQ(f.pctUsed, 80);
  auto full = Row(std::string(30, 'N'), -5, 0, 0);
  EXPECT_EQ(ReadTablespaceRow(full.data()).name, std::string(30, 'N'));
  EXPECT_EQ(ReadTablespaceRow(full.data()).sizeKb, -5);
}

TEST(TablespaceEvaluation, SummaryLine) {
  struct Row {
    const char* destination;
    uint64_t rows;
    int64_t size, free;
    const char* line;
  } rows[] = {
      {"PRD", 3, 52428800, 10485760, "(PRD) OraSizes: NoSpc=3, DataSz=52.428 MB, FreeSz=10.485 MB, Free=20% "},
      {"QAS", 7, 999, 500, "(QAS) OraSizes: NoSpc=7, DataSz=0 MB, FreeSz=0 MB, Free=55% "},  // 500 / 9
      {"EMP", 0, 0, 0, "(EMP) OraSizes: NoSpc=0, DataSz=0 MB, FreeSz=0 MB, Free=0% "},       // no division by zero
      {"TNY", 1, 99, 99, "(TNY) OraSizes: NoSpc=1, DataSz=0 MB, FreeSz=0 MB, Free=0% "},
      {"BIG", 1234, 5000000000000, 2500000000000,
       "(BIG) OraSizes: NoSpc=1.234, DataSz=5000.000.000 MB, FreeSz=2500.000.000 MB, Free=50% "},
      {"NEG", 1, 1000000, -2000000, "(NEG) OraSizes: NoSpc=1, DataSz=1.000 MB, FreeSz=-2.000 MB, Free=-200% "},
  };
  for (const Row& row : rows) EXPECT_EQ(SummaryLine(row.destination, row.rows, row.size, row.free), row.line);
}

TEST(TablespaceEvaluation, SaturatedTotalsDoNotOverflowThePercentage) {
  // A hundredth of -1 with the free total at its floor: the one quotient
  // that does not fit.
  std::string line = SummaryLine("X", 2, -150, INT64_MIN);
  EXPECT_NE(line.find("Free=9223372036854.775.807% "), std::string::npos) << line;
}

TEST(TablespaceEvaluation, ChannelValues) {
  TablespaceRow f;
  f.freeKb = 2500000;
  f.pctUsed = 85;
  struct Row {
    const char* parameters;
    bool itemRun;
    const char* value;
    const char* unit;
  } rows[] = {
      {"", false, "15", "PerCent"},
      {"", true, "15", "%"},
      {"MEGABYTE", false, "2500", "MByte"},
      {"GIGABYTE", false, "2", "GByte"},
      {"GIGABYTE,MEGABYTE", true, "2", "GByte"},
  };
  for (const Row& row : rows) {
    std::string value, unit;
    RunSwitches switches;
    ReadKeywords(row.parameters, row.parameters, kCommandLine, switches);
    ChannelValue(UnitOf(switches), f, row.itemRun, value, unit);
    EXPECT_EQ(value, row.value) << row.parameters;
    EXPECT_EQ(unit, row.unit) << row.parameters;
  }
  f.pctUsed = 130;  // more than full: a negative value, not a wrapped one
  std::string value, unit;
  ChannelValue(ChannelUnit::Percent, f, false, value, unit);
  EXPECT_EQ(value, "-30");
}

}  // namespace
}  // namespace fennick
