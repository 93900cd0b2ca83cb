#include "history/history_text.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(HistoryText, WhatALineIs) {
  struct Row {
    const char* line;
    HistoryLine kind;
    const char* name;
    HistorySample sample;
  } rows[] = {
      {"", HistoryLine::Empty, "", {}},
      {"tablespace PSAP%20SR3", HistoryLine::Tablespace, "PSAP SR3", {}},
      {"tablespace A%25B%0a", HistoryLine::Tablespace, "A%B\n", {}},
      {"1767225600   41943040\t52428800", HistoryLine::Sample, "", {1767225600, 41943040, 52428800}},
      {"1767225600 -5 -7", HistoryLine::Sample, "", {1767225600, -5, -7}},
      {"tablespace ", HistoryLine::Broken, "", {}},
      {"tablespace A B", HistoryLine::Broken, "", {}},
      {"tablespace %4", HistoryLine::Broken, "", {}},
      {"Tablespace A", HistoryLine::Broken, "", {}},
      {"1767225600 1", HistoryLine::Sample, "", {1767225600, 1, 77}},  // the capacity as before
      {"1767225600 1 2 3", HistoryLine::Broken, "", {}},
      {"1767225600 1 2x", HistoryLine::Broken, "", {}},
      {"-1767225600 1 2", HistoryLine::Broken, "", {}},
      {"1767225600 1234567890123456789 2", HistoryLine::Broken, "", {}},
      {"999999999999 1 2", HistoryLine::Broken, "", {}},  // after the year 9999
      {"<Prtg>", HistoryLine::Broken, "", {}},
  };
  for (const Row& row : rows) {
    const std::string text = row.line;
    std::string name;
    HistorySample sample;
    sample.capacityKb = 77;
    bool withCapacity = false;
    EXPECT_EQ(ReadHistoryLine(text.data(), text.data() + text.size(), name, sample, withCapacity), row.kind)
        << row.line;
    if (row.kind == HistoryLine::Tablespace) {
      EXPECT_EQ(name, row.name) << row.line;
    }
    if (row.kind != HistoryLine::Sample) continue;
    EXPECT_EQ(sample.time, row.sample.time) << row.line;
    EXPECT_EQ(sample.usedKb, row.sample.usedKb) << row.line;
    EXPECT_EQ(sample.capacityKb, row.sample.capacityKb) << row.line;
  }
  // A NUL is binary, never a sample.
  const std::string binary("1767225600 1 2\0", 15);
  std::string name;
  HistorySample sample;
  bool withCapacity = false;
  EXPECT_EQ(ReadHistoryLine(binary.data(), binary.data() + binary.size(), name, sample, withCapacity),
            HistoryLine::Broken);
}

TEST(HistoryText, WrittenAsItIsRead) {
  std::string out;
  AppendTablespaceLine(out, "A%B \x7F");
  AppendSampleLine(out, HistorySample{1767236400, -41950000, 52428800}, true);
  AppendSampleLine(out, HistorySample{1767240000, 5, 52428800}, false);
  EXPECT_EQ(out, "tablespace A%25B%20%7F\n1767236400 -41950000 52428800\n1767240000 5\n");
  const std::string crlf = "Fennick history 1 \r";
  EXPECT_TRUE(IsHistoryFirstLine(crlf.data(), LineTextEnd(crlf.data(), crlf.data() + crlf.size())));
}

}  // namespace
}  // namespace fennick
