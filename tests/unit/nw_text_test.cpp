#include "rfc/netweaver/nw_text.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(NwText, Utf16BothWays) {
  const std::string bytes("A\xE9\x01\xFF z", 6);
  std::vector<NwChar> units = ToNwText(bytes);
  EXPECT_EQ(units, (std::vector<NwChar>{0x41, 0xE9, 0x01, 0xFF, 0x20, 0x7A, 0}));
  EXPECT_EQ(FromNwText(units.data(), units.size()), bytes);
  // Above U+00FF there is no byte: "?". A zero unit ends the text early.
  const NwChar wide[] = {0x41, 0x20AC, 0x100, 0x42, 0, 0x43};
  EXPECT_EQ(FromNwText(wide, 6), "A??B");
  EXPECT_EQ(FromNwText(wide, 2), "A?");
  EXPECT_EQ(FromNwText(wide, 0), "");
  EXPECT_EQ(ToNwText(""), std::vector<NwChar>{0});
}

TEST(NwText, TheMessageTextTheDocumentShows) {
  struct Row {
    const char* message;
    const char* text;
  } rows[] = {
      {"LOCATION    CPIC (TCP/IP) on local host\nERROR       partner 'sapprd01:3300' not reached",
       "partner 'sapprd01:3300' not reached"},
      {"Name or password is incorrect (repeat logon)", "Name or password is incorrect (repeat logon)"},
      {"  first line  \nsecond line", "first line"},
      {"LOCATION x\nERROR\tfirst\nERROR       second", "first"},
      {"ERRORS are not the word\nmore", "ERRORS are not the word"},
      {"LOCATION x\r\nERROR       with CR\r\nTIME y", "with CR"},
      {"ERROR", ""},
      {"\nERROR       after an empty first line", "after an empty first line"},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(MessageText(row.message), row.text) << row.message;
}

TEST(NwText, PackedFieldsAsText) {
  struct Row {
    const char* text;
    int64_t value;
  } rows[] = {
      {"52428800", 52428800},
      {"-5", -5},
      {"0", 0},
      {"12.75", 12},    // the fraction is dropped
      {"-12.75", -12},  // toward zero
      {"000000000012345", 12345},
      {"123AB", 123},  // what follows the digits ends the number
      {"-FFFFFFFFFFFFFFF", 0},
      {"", 0},
      {"  42", 42},
      {"99999999999999999999", INT64_MAX},  // saturates
  };
  for (const Row& row : rows) EXPECT_EQ(PackedTextValue(row.text), row.value) << row.text;
}

}  // namespace
}  // namespace fennick
