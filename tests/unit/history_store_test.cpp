#include "history/history_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fennick {
namespace {

const int64_t kNow = 1767225600;  // 2026-01-01 00:00 UTC
const int64_t kHour = 3600;

class HistoryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/history-test-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

  std::string Read(const std::string& name) {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ + "/" + name, std::ios::binary) << text;
  }
  KeptHistory Keep(int64_t now, int64_t usedKb) {
    return KeepHistory(folder_ + "/h", "S.history", {{"T", usedKb, 1000}, {"U", 7, 9}}, now);
  }

  std::string folder_;
};

TEST_F(HistoryStore, OneSampleAnHourForEightDays) {
  struct Step {
    int64_t at;  // seconds after kNow
    int64_t usedKb;
  } steps[] = {
      {-9 * 24 * kHour, 1},  // older than eight days once the last run comes
      {0, 2},
      {1800, 3},       // the same hour: replaces the one before
      {1700, 4},       // an earlier moment of that hour, written later: stays out
      {5 * kHour, 5},  // from a clock that is set back below
      {3 * kHour, 6},
  };
  for (const Step& step : steps) ASSERT_TRUE(Keep(kNow + step.at, step.usedKb).kept);
  EXPECT_EQ(Read("h/S.history"),
            "Fennick history 1\n"
            "tablespace T\n"
            "1767227400 3 1000\n"
            "1767236400 6\n"
            "tablespace U\n"
            "1767227400 7 9\n"
            "1767236400 7\n");
  const KeptHistory kept = Keep(kNow + 25 * kHour, 10);
  ASSERT_EQ(kept.growth.size(), 2u);
  EXPECT_TRUE(kept.growth[0].known);
  EXPECT_EQ(kept.growth[1].kbPerDay, 0);
  // Once the first goes, the next carries the capacity it left out.
  ASSERT_TRUE(Keep(kNow + 1800 + 8 * 24 * kHour + 1, 11).kept);
  EXPECT_EQ(Read("h/S.history"),
            "Fennick history 1\n"
            "tablespace T\n"
            "1767236400 6 1000\n"
            "1767315600 10\n"
            "1767918601 11\n"
            "tablespace U\n"
            "1767236400 7 9\n"
            "1767315600 7\n"
            "1767918601 7\n");
}

TEST_F(HistoryStore, ReadAsLaidByHandWrittenAsItsOwn) {
  ASSERT_EQ(mkdir((folder_ + "/h").c_str(), 0777), 0);
  // A mark, CR LF, blanks and empty lines, as an editor leaves them.
  Write("h/S.history",
        "\xEF\xBB\xBF"
        "Fennick history 1\r\n"
        "tablespace T\r\n"
        "1767211800   900\t1000 \r\n"
        "1767215400 920 1000\r\n"
        "\r\n"
        "1767218400 930\r\n"
        "tablespace U%20V\r\n"
        "1767214800 5 9");
  ASSERT_TRUE(Keep(kNow, 950).kept);
  EXPECT_EQ(Read("h/S.history"),
            "Fennick history 1\n"
            "tablespace T\n"
            "1767211800   900\t1000\n"
            "1767215400 920\n"
            "1767218400 930\n"
            "1767225600 950\n"
            "tablespace U%20V\n"
            "1767214800 5 9\n"
            "tablespace U\n"
            "1767225600 7 9\n");
}

TEST_F(HistoryStore, AnotherFormatOrABrokenLineIsSetAside) {
  struct Row {
    std::string text;
    const char* problem;
  } rows[] = {
      {"", "(empty)"},
      {"Fennick history 2\n", "(line 1: not \"Fennick history 1\")"},
      {"<Prtg>\n", "(line 1: not \"Fennick history 1\")"},
      {"Fennick history 1\n1767225600 1 2\n", "(line 2: a sample before any tablespace)"},
      {"Fennick history 1\ntablespace T\n1767225600 1\n",
       "(line 3: the first sample of a tablespace without its capacity)"},
      {"Fennick history 1\ntablespace T\n1767225600 1 2\n1767229199 1 2\n",
       "(line 4: not in a later hour than the sample before it)"},
      {"Fennick history 1\ntablespace T\n1767229200 1 2\n1767225600 1 2\n",
       "(line 4: not in a later hour than the sample before it)"},
      {"Fennick history 1\ntablespace T\ntablespace U\ntablespace T\n", "(line 4: a tablespace named a second time)"},
      {"Fennick history 1\ntablespace T\n1767225600 1 2\0\n", "(line 3: not a tablespace or a sample)"},
      {"Fennick history 1\ntablespace T\n" + std::string(40000, '1'), "(line 3: longer than 16384 bytes)"},
  };
  rows[8].text = std::string("Fennick history 1\ntablespace T\n1767225600 1 2\0\n", 48);
  ASSERT_EQ(mkdir((folder_ + "/h").c_str(), 0777), 0);
  for (const Row& row : rows) {
    Write("h/S.history", row.text);
    const KeptHistory kept = Keep(kNow, 1);
    EXPECT_TRUE(kept.kept) << row.problem;
    ASSERT_EQ(kept.notes.size(), 1u) << row.problem;
    EXPECT_NE(kept.notes[0].find(row.problem), std::string::npos) << kept.notes[0];
    EXPECT_EQ(Read("h/S.history.bad"), row.text) << row.problem;
    EXPECT_EQ(Read("h/S.history"),
              "Fennick history 1\ntablespace T\n1767225600 1 1000\ntablespace U\n1767225600 7 9\n");
  }
}

TEST_F(HistoryStore, WhatIsNoHistorySetAsideOrNotKept) {
  ASSERT_EQ(mkdir((folder_ + "/h").c_str(), 0777), 0);
  Write("h/S.history", "Fennick history 1\ntablespace T\nnonsense\n");
  KeptHistory kept = Keep(kNow, 1);
  EXPECT_TRUE(kept.kept);
  EXPECT_EQ(Read("h/S.history.bad"), "Fennick history 1\ntablespace T\nnonsense\n");
  EXPECT_EQ(Read("h/S.history").substr(0, 31), "Fennick history 1\ntablespace T\n");
  ASSERT_EQ(kept.notes.size(), 1u);
  EXPECT_NE(kept.notes[0].find("line 3: not a tablespace or a sample"), std::string::npos) << kept.notes[0];

  // A link in place of the file is set aside as a link; what it leads to stays.
  Write("target", "mine");
  ASSERT_EQ(unlink((folder_ + "/h/S.history").c_str()), 0);
  ASSERT_EQ(symlink((folder_ + "/target").c_str(), (folder_ + "/h/S.history").c_str()), 0);
  EXPECT_TRUE(Keep(kNow, 1).kept);
  EXPECT_EQ(Read("target"), "mine");
  char link[256] = "";
  EXPECT_GT(readlink((folder_ + "/h/S.history.bad").c_str(), link, sizeof link), 0);

  // A link in place of the lock: not followed, not kept.
  ASSERT_EQ(unlink((folder_ + "/h/S.history.lock").c_str()), 0);
  ASSERT_EQ(symlink((folder_ + "/target").c_str(), (folder_ + "/h/S.history.lock").c_str()), 0);
  kept = Keep(kNow, 1);
  EXPECT_FALSE(kept.kept);
  EXPECT_EQ(Read("target"), "mine");

  // A folder that cannot be made: a file stands where its parent would be.
  kept = KeepHistory(folder_ + "/target/h", "S.history", {{"T", 1, 2}}, kNow);
  EXPECT_FALSE(kept.kept);
  ASSERT_EQ(kept.notes.size(), 1u);
  EXPECT_NE(kept.notes[0].find("cannot be made"), std::string::npos) << kept.notes[0];
}

TEST(HistoryFileName, SafeOnEveryFileSystem) {
  struct Row {
    std::string destination, client, host, name;
  } rows[] = {
      {"prd", "100", "SAPPRD01.corp", "PRD_100_sapprd01.corp.history"},
      {"A_B", "1 0", "h/../x\\y:z", "A%5FB_1%200_h%2F..%2Fx%5Cy%3Az.history"},
      {"..", "", "", "%2E.__.history"},
  };
  for (const Row& r : rows) EXPECT_EQ(HistoryFileName(r.destination, r.client, r.host), r.name);
  // Too long for a file system: cut, with a checksum of the whole.
  const std::string longName = HistoryFileName(std::string(300, 'D'), "100", "h");
  EXPECT_EQ(longName.size(), 80u + 1 + 16 + 8);
  EXPECT_NE(longName, HistoryFileName(std::string(301, 'D'), "100", "h"));
}

}  // namespace
}  // namespace fennick
