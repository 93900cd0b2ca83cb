#include "profile/connection_entry.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fennick {
namespace {

const PasswordKey kKey = BuildPasswordKey();

std::string Scrambled(const std::string& password) { return *ScramblePassword(password, kKey); }

std::string CompleteProfile() {
  return "Extcompany.: ACME\n"
         "Destination: PRD\n"
         "Client.....: 100\n"
         "User.......: monitor\n"
         "Password...: " +
         Scrambled("Secret1") +
         "\n"
         "Language...: E\n"
         "Mode.......: R/3\n"
         "Hostname...: sapprd01\n"
         "Sysnr......: 00\n"
         "Gwhost.....: sapgw01\n"
         "Gwservice..: sapgw00\n";
}

EntryReading Read(const std::string& content, bool single = true) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  EntryReading reading = ReadConnectionEntry(file, single ? 159 : 199, kKey, single);
  std::fclose(file);
  return reading;
}

TEST(ConnectionEntry, ReadsEveryField) {
  EntryReading r = Read(CompleteProfile());
  EXPECT_EQ(r.problem, EntryProblem::None);
  EXPECT_EQ(r.entry.extcompany, "ACME");
  EXPECT_EQ(r.entry.destination, "PRD");
  EXPECT_EQ(r.entry.client, "100");
  EXPECT_EQ(r.entry.user, "MONITOR");
  EXPECT_EQ(r.entry.password, "Secret1");
  EXPECT_EQ(r.entry.language, "E");
  EXPECT_EQ(r.entry.mode, "R/3");
  EXPECT_EQ(r.entry.hostname, "sapprd01");
  EXPECT_EQ(r.entry.sysnr, "00");
  EXPECT_EQ(r.entry.gwhost, "sapgw01");
  EXPECT_EQ(r.entry.gwservice, "sapgw00");
}

TEST(ConnectionEntry, LineRules) {
  struct Row {
    const char* what;
    std::string extra;  // appended after the complete profile
    std::string SystemEntry::*field;
    std::string expected;
  } rows[] = {
      {"eleven characters before the colon are no key", "Client....: 999\n", &SystemEntry::client, "100"},
      {"keys are case-sensitive", "CLIENT.....: 999\n", &SystemEntry::client, "100"},
      {"a later key wins", "Client.....: 200\n", &SystemEntry::client, "200"},
      {"trailing blanks stay", "Destination: AB \n", &SystemEntry::destination, "AB "},
      {"any separator character", "Client.....:X300\n", &SystemEntry::client, "300"},
      {"a line ending before column 14 is empty", "Gwhost.....:\n", &SystemEntry::gwhost, ""},
      {"CR LF line ends", "Hostname...: sapx\r\n", &SystemEntry::hostname, "sapx"},
      {"values are cut at 60 characters", "Hostname...: " + std::string(70, 'h') + "\n", &SystemEntry::hostname,
       std::string(60, 'h')},
      {"the user is upper-cased", "User.......: ddic\n", &SystemEntry::user, "DDIC"},
      {"a line over the limit goes on as the next line", "Hostname...: " + std::string(146, 'h') + "Client.....: 777\n",
       &SystemEntry::client, "777"},
      {"a short line is ignored", "Client\n", &SystemEntry::client, "100"},
  };
  for (const Row& row : rows) {
    EntryReading r = Read(CompleteProfile() + row.extra);
    EXPECT_EQ(r.entry.*row.field, row.expected) << row.what;
  }
}

TEST(ConnectionEntry, ItemRunReadsLongerLines) {
  // 13 + 146 = 159 characters: the key of the tail lands on a line of its own
  // only in a single-profile run.
  std::string line = "Hostname...: " + std::string(146, 'h') + "Client.....: 777\n";
  EXPECT_EQ(Read(CompleteProfile() + line, true).entry.client, "777");
  EXPECT_EQ(Read(CompleteProfile() + line, false).entry.client, "100");
}

TEST(ConnectionEntry, ChecksInOrder) {
  std::string good = Scrambled("Secret1");
  struct Row {
    const char* what;
    std::string content;
    EntryProblem problem;
  } rows[] = {
      {"complete", CompleteProfile(), EntryProblem::None},
      {"empty file", "", EntryProblem::NoUser},
      {"user missing comes first", "Password...: \n", EntryProblem::NoUser},
      {"password missing", "User.......: X1\nPassword...:\n", EntryProblem::NoPassword},
      {"a short field", CompleteProfile() + "Client.....: 10\n", EntryProblem::ShortField},
      {"destination of two letters and a blank passes", CompleteProfile() + "Destination: AB \n", EntryProblem::None},
      {"a password of 23 characters", CompleteProfile() + "Password...: " + good.substr(1) + "\n",
       EntryProblem::BadPasswordForm},
      {"a password of 25 characters", CompleteProfile() + "Password...: " + good + "x\n",
       EntryProblem::BadPasswordForm},
      {"a bad password stops the reading", "Password...: 123\nUser.......: \n", EntryProblem::BadPasswordForm},
  };
  for (const Row& row : rows) EXPECT_EQ(Read(row.content).problem, row.problem) << row.what;
}

TEST(ConnectionEntry, WrongCheckDigit) {
  std::string value = Scrambled("Secret1");
  value[0] = static_cast<char>(value[0] ^ 0x01);  // another header digit 1
  EntryReading r = Read(CompleteProfile() + "Password...: " + value + "\n");
  EXPECT_EQ(r.problem, EntryProblem::WrongPassword);
}

TEST(ConnectionEntry, ListedProfilesDoNotInheritFields) {
  SystemEntry entry;
  std::FILE* first = std::tmpfile();
  std::string content = CompleteProfile();
  std::fwrite(content.data(), 1, content.size(), first);
  std::rewind(first);
  EXPECT_EQ(ReadListedProfileEntry(first, kKey, entry), '.');
  std::fclose(first);

  std::FILE* second = std::tmpfile();
  std::string partial = "Destination: QAS\n";
  std::fwrite(partial.data(), 1, partial.size(), second);
  std::rewind(second);
  EXPECT_EQ(ReadListedProfileEntry(second, kKey, entry), 'X');
  std::fclose(second);
  EXPECT_EQ(entry.destination, "QAS");
  EXPECT_EQ(entry.user, "");
  EXPECT_EQ(entry.password, "");
  EXPECT_EQ(entry.gwhost, "");
}

}  // namespace
}  // namespace fennick
