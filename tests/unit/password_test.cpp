#include "profile/password.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace fennick {
namespace {

const PasswordKey kKey = BuildPasswordKey();

bool PrintableWithoutOuterBlanks(const std::string& value) {
  for (unsigned char c : value) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return !value.empty() && value.front() != ' ' && value.back() != ' ';
}

// Every password the tool accepts comes back unchanged; refusals are rare.
TEST(Password, RoundTripOverGeneratedPasswords) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> length(1, 20);
  std::uniform_int_distribution<int> printable(0x20, 0x7E);
  int refused = 0;
  const int kRounds = 20000;
  for (int round = 0; round < kRounds; ++round) {
    std::string password;
    for (int i = length(random); i > 0; --i) password += static_cast<char>(printable(random));
    std::optional<std::string> value = ScramblePassword(password, kKey, static_cast<unsigned>(random()));
    if (!value) {
      ++refused;
      continue;
    }
    ASSERT_EQ(value->size(), 24u) << password;
    ASSERT_TRUE(PrintableWithoutOuterBlanks(*value)) << password << " -> " << *value;
    UnscrambleResult back = UnscramblePassword(*value, kKey);
    ASSERT_EQ(back.check, UnscrambleCheck::Ok) << password;
    ASSERT_EQ(back.password, password);
  }
  EXPECT_LT(refused, kRounds / 100);
}

TEST(Password, EveryPrintableCharacterAtEveryPosition) {
  for (size_t position = 0; position < 20; ++position) {
    for (int c = 0x20; c <= 0x7E; ++c) {
      std::string password(20, 'a');
      password[position] = static_cast<char>(c);
      std::optional<std::string> value = ScramblePassword(password, kKey);
      ASSERT_TRUE(value.has_value()) << "position " << position << " char " << c;
      EXPECT_EQ(UnscramblePassword(*value, kKey).password, password);
    }
  }
}

TEST(Password, WhatCannotBeRepresentedIsRefused) {
  EXPECT_FALSE(ScramblePassword("", kKey));
  EXPECT_FALSE(ScramblePassword(std::string(21, 'a'), kKey));
  EXPECT_FALSE(ScramblePassword("tab\there", kKey));
  EXPECT_FALSE(ScramblePassword("caf\xC3\xA9", kKey));
  EXPECT_TRUE(ScramblePassword(std::string(20, 'a'), kKey));
}

TEST(Password, FormAndCheckDigitFailures) {
  const std::string good = *ScramblePassword("Secret1", kKey);
  struct Row {
    std::string value;
    UnscrambleCheck check;
  } rows[] = {
      {good, UnscrambleCheck::Ok},
      {good.substr(0, 23), UnscrambleCheck::BadForm},
      {good + "x", UnscrambleCheck::BadForm},
      {std::string(24, 'Z'), UnscrambleCheck::BadForm},  // header is no digits
      {"", UnscrambleCheck::BadForm},
  };
  for (const Row& row : rows) EXPECT_EQ(UnscramblePassword(row.value, kKey).check, row.check) << row.value;

  // A changed body character changes the check sum unless it is no letter or digit.
  std::string tampered = good;
  tampered[4] = static_cast<char>(tampered[4] ^ 0x01);
  UnscrambleResult result = UnscramblePassword(tampered, kKey);
  EXPECT_NE(result.password, "Secret1");
  EXPECT_EQ(result.check, UnscrambleCheck::WrongCheckDigit);
}

TEST(Password, HeaderLengthCutsThePlainText) {
  // Build a value by hand: check digit over the whole plain text, offset 0,
  // length 03, body "abcdefghij" woven with zero bytes that are skipped.
  std::string plain = "abcdefghijklmnopqrst";
  unsigned long sum = 0;
  for (char c : plain) sum += static_cast<unsigned char>(c);
  char header[4] = {static_cast<char>('0' + sum % 10), '0', '0', '3'};
  std::string value;
  for (int j = 0; j < 4; ++j) value += static_cast<char>(header[j] ^ kKey[j]);
  std::string body(20, '\0');
  for (size_t i = 0; i < 20; ++i) body[i % 2 == 0 ? i / 2 : 19 - i / 2] = plain[i];
  for (size_t i = 0; i < 20; ++i) value += static_cast<char>(body[i] ^ kKey[i]);
  UnscrambleResult result = UnscramblePassword(value, kKey);
  EXPECT_EQ(result.check, UnscrambleCheck::Ok);
  EXPECT_EQ(result.password, "abc");
}

TEST(Password, KeyIsBuiltTheSameEveryTime) { EXPECT_EQ(BuildPasswordKey(), BuildPasswordKey()); }

TEST(Password, SeedsGiveDifferentValuesForTheSamePassword) {
  std::set<std::string> values;
  for (unsigned seed = 0; seed < 50; ++seed) {
    std::optional<std::string> value = ScramblePassword("Secret1", kKey, seed);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(UnscramblePassword(*value, kKey).password, "Secret1");
    values.insert(*value);
  }
  EXPECT_GT(values.size(), 20u);
}

}  // namespace
}  // namespace fennick
