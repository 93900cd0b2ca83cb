#include "output/xml_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fennick {
namespace {

using namespace std::string_literals;

struct Row {
  std::string in;
  std::string out;
  const char* what;
};

void CheckRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) EXPECT_EQ(XmlCharacters(row.in), row.out) << row.what;
}

// UTF-8 forms of the characters the tables expect, spelt as bytes so that
// the file's own encoding cannot change them.
const std::string kEuro = "\xE2\x82\xAC";          // U+20AC, 1252 byte 0x80
const std::string kAGrave = "\xC3\x80";            // U+00C0, byte 0xC0
const std::string kACircumflexLower = "\xC3\xA2";  // U+00E2, byte 0xE2
const std::string kLowQuote = "\xE2\x80\x9A";      // U+201A, byte 0x82
const std::string kEAcute = "\xC3\xA9";            // U+00E9, byte 0xE9

TEST(XmlText, PlainAsciiAndTabComeBackUnchanged) {
  std::string printable = "\t";
  for (char c = 0x20; c <= 0x7E; ++c) printable += c;
  CheckRows({
      {"", "", "empty"},
      {"PSAPSR3", "PSAPSR3", "a tablespace name"},
      {printable, printable, "every printable character and tab"},
      {"a & b <c> \"d\" 'e'", "a & b <c> \"d\" 'e'", "markup is the writer's business"},
  });
}

TEST(XmlText, ValidUtf8ComesBackUnchanged) {
  CheckRows({
      {"\xC2\xA0", "\xC2\xA0", "U+00A0, the first character after the C1 controls"},
      {"Caf\xC3\xA9", "Caf\xC3\xA9", "2 bytes"},
      {"100 " + kEuro, "100 " + kEuro, "3 bytes"},
      {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!", "4 bytes"},
      {"\xF0\x90\x80\x80", "\xF0\x90\x80\x80", "U+10000, the smallest 4-byte form"},
      {"\xED\x9F\xBF", "\xED\x9F\xBF", "U+D7FF, just below the surrogates"},
      {"\xEE\x80\x80", "\xEE\x80\x80", "U+E000, just above the surrogates"},
      {"\xEF\xBF\xBD", "\xEF\xBF\xBD", "U+FFFD"},
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", "U+10FFFF, the last code point"},
      {"Gr\xC3\xB6\xC3\x9F"
       "e \xE6\x97\xA5\xE6\x9C\xAC",
       "Gr\xC3\xB6\xC3\x9F"
       "e \xE6\x97\xA5\xE6\x9C\xAC",
       "mixed"},
  });
}

TEST(XmlText, BytesOutsideValidSequencesAreReadAsWindows1252) {
  CheckRows({
      // Truncated sequences: each byte on its own.
      {"\xC3", "\xC3\x83", "2-byte lead at the end"},
      {"\xE2\x82", kACircumflexLower + kLowQuote, "3-byte sequence cut after 2 bytes"},
      {"\xF0\x9F\x98", "\xC3\xB0\xC5\xB8\xCB\x9C", "4-byte sequence cut after 3 bytes"},
      {"\xC3"
       "A",
       "\xC3\x83"
       "A",
       "2-byte lead followed by ASCII"},
      {"\xE2\x82"
       "A",
       kACircumflexLower + kLowQuote + "A", "3-byte sequence broken by ASCII"},
      {"\xE9t\xE9", kEAcute + "t" + kEAcute, "lead bytes around ASCII"},
      {"\xC3\xC3\xA9", "\xC3\x83" + kEAcute, "a lead byte before a valid sequence"},
      // Overlong forms.
      {"\xC0\x80", kAGrave + kEuro, "NUL in 2 bytes"},
      {"\xC1\xBF", "\xC3\x81\xC2\xBF", "DEL in 2 bytes"},
      {"\xE0\x80\x80", "\xC3\xA0" + kEuro + kEuro, "NUL in 3 bytes"},
      {"\xE0\x9F\xBF", "\xC3\xA0\xC5\xB8\xC2\xBF", "U+07FF in 3 bytes"},
      {"\xF0\x80\x80\x80", "\xC3\xB0" + kEuro + kEuro + kEuro, "NUL in 4 bytes"},
      {"\xF0\x8F\xBF\xBF", "\xC3\xB0?\xC2\xBF\xC2\xBF", "U+FFFF in 4 bytes"},
      // Beyond U+10FFFF and lead bytes no sequence has.
      {"\xF4\x90\x80\x80", "\xC3\xB4?" + kEuro + kEuro, "U+110000"},
      {"\xF5\x80\x80\x80", "\xC3\xB5" + kEuro + kEuro + kEuro, "F5 lead"},
      {"\xF7\xBF\xBF\xBF", "\xC3\xB7\xC2\xBF\xC2\xBF\xC2\xBF", "F7 lead"},
      {"\xF8\x88\x80\x80\x80", "\xC3\xB8\xCB\x86" + kEuro + kEuro + kEuro, "5-byte form"},
      {"\xFE\xFF", "\xC3\xBE\xC3\xBF", "FE FF"},
      // Continuation bytes with no lead.
      {"\x80", kEuro, "lone 80"},
      {"A\xBF"
       "B",
       "A\xC2\xBF"
       "B",
       "lone BF between letters"},
      {"\xC3\xA9\xA9", kEAcute + "\xC2\xA9", "one continuation too many"},
  });
}

TEST(XmlText, Windows1252Characters) {
  CheckRows({
      {"\x81", "?", "undefined 81"},
      {"\x8D", "?", "undefined 8D"},
      {"\x8F", "?", "undefined 8F"},
      {"\x90", "?", "undefined 90"},
      {"\x9D", "?", "undefined 9D"},
      {"\x80", kEuro, "euro sign"},
      {"\x85", "\xE2\x80\xA6", "ellipsis"},
      {"\x8A", "\xC5\xA0", "S with caron"},
      {"\x8C", "\xC5\x92", "OE ligature"},
      {"\x99", "\xE2\x84\xA2", "trade mark"},
      {"\x9F", "\xC5\xB8", "Y with diaeresis"},
      {"\xA0", "\xC2\xA0", "no-break space"},
      {"\xE9", kEAcute, "e acute"},
      {"\xFF", "\xC3\xBF", "y with diaeresis"},
      {"\x43\x61\x66\xE9", "Caf" + kEAcute, "Cafe written by a Windows editor"},
      {"M\xFC"
       "nchen \x96 \x84"
       "Ende\x93",
       "M\xC3\xBC"
       "nchen \xE2\x80\x93 \xE2\x80\x9E"
       "Ende\xE2\x80\x9C",
       "a sentence"},
  });
}

TEST(XmlText, Latin1HalfOfWindows1252IsItsOwnCodePoint) {
  for (int c = 0xA0; c <= 0xFF; ++c) {
    const std::string expected{static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    EXPECT_EQ(XmlCharacters(std::string(1, static_cast<char>(c))), expected) << "byte " << c;
  }
}

TEST(XmlText, ControlCharactersBecomeQuestionMarks) {
  CheckRows({
      {"\x00"s, "?", "NUL"},
      {"a\x00"
       "b"s,
       "a?b", "NUL inside"},
      {"\x01", "?", "SOH"},
      {"\n", "?", "LF"},
      {"\r", "?", "CR"},
      {"line\r\nnext", "line??next", "a line end inside a name"},
      {"\x1F", "?", "unit separator"},
      {"\x7F", "?", "DEL"},
      {"\xC2\x80", "?", "U+0080 as UTF-8"},
      {"\xC2\x9F", "?", "U+009F as UTF-8"},
      {"\t", "\t", "tab stays"},
      {"a\tb\x0B"
       "c",
       "a\tb?c", "tab stays, vertical tab does not"},
  });
}

TEST(XmlText, CodePointsXmlForbidsBecomeOneQuestionMark) {
  CheckRows({
      {"\xEF\xBF\xBE", "?", "U+FFFE"},
      {"\xEF\xBF\xBF", "?", "U+FFFF"},
      {"\xED\xA0\x80", "?", "first surrogate"},
      {"\xED\xBF\xBF", "?", "last surrogate"},
      {"\xED\xA0\xBD\xED\xB8\x80", "??", "a surrogate pair written as two sequences"},
      {"a\xEF\xBF\xBE"
       "b",
       "a?b", "inside a text"},
      {"\xED\xA0", "\xC3\xAD\xC2\xA0", "a surrogate cut short is two 1252 bytes"},
  });
}

}  // namespace
}  // namespace fennick
