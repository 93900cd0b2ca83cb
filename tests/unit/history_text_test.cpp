#include "history/history_text.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(HistoryText, ReadAsLaidByHandWrittenAsItsOwn) {
  // A mark, CR LF, blanks and an empty line, as an editor leaves them.
  const std::string laid =
      "\xEF\xBB\xBF"
      "Fennick history 1\r\n"
      "tablespace PSAP%20SR3\r\n"
      "1767225600   41943040 52428800 \r\n"
      "\r\n"
      "1767232800 -5 -7\r\n"
      "tablespace SYSTEM\n";
  std::vector<TablespaceHistory> history;
  std::string problem;
  ASSERT_TRUE(ParseHistory(laid, history, problem)) << problem;
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].name, "PSAP SR3");
  ASSERT_EQ(history[0].samples.size(), 2u);
  EXPECT_EQ(history[0].samples[1].time, 1767232800);
  EXPECT_EQ(history[0].samples[1].usedKb, -5);
  EXPECT_EQ(history[0].samples[1].capacityKb, -7);
  HistorySample now;
  now.time = 1767236400;
  now.usedKb = 41950000;
  now.capacityKb = 52428800;
  history[1].samples.push_back(now);
  history[1].name = "A%B\n";
  EXPECT_EQ(HistoryText(history),
            "Fennick history 1\n"
            "tablespace PSAP%20SR3\n"
            "1767225600   41943040 52428800\n"
            "1767232800 -5 -7\n"
            "tablespace A%25B%0A\n"
            "1767236400 41950000 52428800\n");
}

TEST(HistoryText, AnotherFormatOrABrokenLineIsNoHistory) {
  struct Row {
    const char* text;
    const char* problem;
  } rows[] = {
      {"", "line 1: empty"},
      {"Fennick history 2\n", "line 1: not \"Fennick history 1\""},
      {"<Prtg>\n", "line 1: not \"Fennick history 1\""},
      {"Fennick history 1\n1767225600 1 2\n", "line 2: a sample before any tablespace"},
      {"Fennick history 1\ntablespace T\n1767225600 1\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n1767225600 1 2 3\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n1767225600 1 2x\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n-1767225600 1 2\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n1767225600 1234567890123456789 2\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n999999999999 1 2\n", "line 3: not a sample"},
      {"Fennick history 1\ntablespace T\n1767225600 1 2\n1767229199 1 2\n",
       "line 4: not in a later hour than the sample before it"},
      {"Fennick history 1\ntablespace T\n1767229200 1 2\n1767225600 1 2\n",
       "line 4: not in a later hour than the sample before it"},
      {"Fennick history 1\ntablespace A B\n", "line 2: not a tablespace's name"},
      {"Fennick history 1\ntablespace %4\n", "line 2: not a tablespace's name"},
      {"Fennick history 1\ntablespace T\ntablespace U\ntablespace T\n", "tablespace T more than once"},
  };
  for (const Row& row : rows) {
    std::vector<TablespaceHistory> history;
    std::string problem;
    EXPECT_FALSE(ParseHistory(row.text, history, problem)) << row.text;
    EXPECT_EQ(problem, row.problem) << row.text;
  }
  // Binary: a NUL inside a sample's line.
  std::vector<TablespaceHistory> history;
  std::string problem;
  const std::string binary("Fennick history 1\ntablespace T\n1767225600 1 2\0\n", 47);
  EXPECT_FALSE(ParseHistory(binary, history, problem));
  EXPECT_EQ(problem, "line 3: not a sample");
}

}  // namespace
}  // namespace fennick
