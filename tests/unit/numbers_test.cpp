#include "output/numbers.h"

#include <gtest/gtest.h>

#include "profile/text_util.h"
#include "rfc/classic/packed_decimal.h"

namespace fennick {
namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

TEST(Numbers, PackedDecimals) {
  struct Row {
    std::vector<unsigned char> field;
    unsigned decimals;
    const char* text;
    int64_t value;
  } rows[] = {
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45}), 0, "+000000000001234", 1234},
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x4C}), 0, "+000000000001234", 1234},
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x4D}), 0, "-000000000001234", -1234},
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x4F}), 0, "+000000000001234", 1234},
      {Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9C}), 0, "+999999999999999", 999999999999999},
      {Bytes({0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x5D}), 0, "-123456789012345", -123456789012345},
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x4C}), 2, "+0000000000012.34", 12},
      // Invalid nibbles: the number ends at the first one.
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xA3, 0x4C}), 0, "+000000000001A34", 1},
      {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 0, "+FFFFFFFFFFFFFFF", 0},
      {Bytes({0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD}), 0, "-DDDDDDDDDDDDDDD", 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PackedToText(row.field.data(), row.field.size(), row.decimals), row.text);
  }
  // 12345 stored positive: a plus sign, ten zeros and 12345.
  auto positive = Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x5C});
  EXPECT_EQ(PackedToText(positive.data(), 8, 0), "+000000000012345");
  EXPECT_EQ(PackedValue(positive.data(), 8), 12345);
  for (const Row& row : rows) {
    if (row.decimals == 0) {
      EXPECT_EQ(PackedValue(row.field.data(), row.field.size()), row.value);
    }
  }
}

TEST(Numbers, ThousandsGrouping) {
  struct Row {
    const char* digits;
    const char* grouped;
  } rows[] = {
      {"0", "0"},
      {"12", "12"},
      {"123", "123"},
      {"1234", "1.234"},
      {"12345", "12.345"},
      {"123456", "123.456"},
      {"1234567", "1.234.567"},
      {"12345678", "12.345.678"},
      {"123456789", "123.456.789"},
      {"1234567890", "1234.567.890"},
      {"12345678901", "12345.678.901"},
      {"-1234567", "-1.234.567"},
      {"-12", "-12"},
  };
  for (const Row& row : rows) EXPECT_EQ(GroupThousands(row.digits), row.grouped) << row.digits;
}

TEST(Numbers, LeadingInteger) {
  struct Row {
    const char* text;
    int64_t value;
  } rows[] = {{"00", 0}, {"12ab", 12}, {"  7", 7}, {"-3", -3},
              {"+4", 4}, {"x1", 0},    {"", 0},    {"99999999999999999999999", INT64_MAX}};
  for (const Row& row : rows) EXPECT_EQ(LeadingInteger(row.text), row.value) << row.text;
}

TEST(Numbers, KeywordValuesAsTyped) {
  struct Row {
    const char* parameters;
    const char* keyword;
    std::optional<std::string> value;
  } rows[] = {
      {"x,host=SapPrd01,no=07", ",HOST=", std::string("SapPrd01")},
      {"x,host=SapPrd01,no=07", ",NO=", std::string("07")},
      {",TIMEOUT=5 #", ",TIMEOUT=", std::string("5")},
      {",WARN=", ",WARN=", std::string()},
      {",WARN=,x", ",WARN=", std::string()},
      {"WARN=5", ",WARN=", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(KeywordValue(ToUpper(row.parameters), row.parameters, row.keyword), row.value) << row.parameters;
  }
  EXPECT_EQ(TrimBlanks(" \t a b \r"), "a b");
  EXPECT_EQ(TrimBlanks(" \t"), "");
}

}  // namespace
}  // namespace fennick
