#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fennick {
namespace {

std::vector<std::string> Lines(const std::string& content, size_t limit, FileText form = FileText::Decoded) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  TextLineReader reader(file, limit, form);
  std::vector<std::string> lines;
  for (std::string line; reader.Next(line);) lines.push_back(line);
  std::fclose(file);
  return lines;
}

using L = std::vector<std::string>;

TEST(TextLines, LineEndsAsWindowsTextModeReadsThem) {
  EXPECT_EQ(Lines("a\nb\n", 99), (L{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nb\r\n", 99), (L{"a", "b"}));
  EXPECT_EQ(Lines("a\nb", 99), (L{"a", "b"}));      // no final line end
  EXPECT_EQ(Lines("a\r", 99), (L{"a"}));            // a lone trailing CR
  EXPECT_EQ(Lines("a\rb\r", 99), (L{"a\rb"}));      // CR alone does not end a line
  EXPECT_EQ(Lines("a\r\r\n", 99), (L{"a\r"}));      // one CR stays
  EXPECT_EQ(Lines("a  \n\n", 99), (L{"a  ", ""}));  // blanks stay
  EXPECT_EQ(Lines("", 99), L{});
}

TEST(TextLines, LongLinesComeInPieces) {
  EXPECT_EQ(Lines("abcdefg\nh\n", 3), (L{"abc", "def", "g", "h"}));
  // The line end counts towards the limit, so it comes as an empty piece.
  EXPECT_EQ(Lines("abc\nd\n", 3), (L{"abc", "", "d"}));
  EXPECT_EQ(Lines("abc\r\nd\n", 3), (L{"abc", "", "d"}));
  std::string big(1 << 20, 'x');
  EXPECT_EQ(Lines(big, 159).size(), (big.size() + 158) / 159);
}

TEST(TextLines, NulByteEndsTheLineText) { EXPECT_EQ(Lines(std::string("ab\0cd\nx\n", 8), 99), (L{"ab", "x"})); }

std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

TEST(TextLines, DecodedTextIsSplitAsIfWrittenSo) {
  EXPECT_EQ(Lines(Utf16Le("ab\r\ncdef\r\n"), 3), (L{"ab", "cde", "f"}));
  EXPECT_EQ(Lines(Utf16Le(std::string("ab\0c\nx", 6)), 99), (L{"ab", "x"}));
  EXPECT_EQ(Lines("\xEF\xBB\xBF"
                  "ab\n",
                  99),
            (L{"ab"}));
  EXPECT_EQ(Lines("\xEF\xBB\xBF"
                  "ab\n",
                  99, FileText::AsStored),
            (L{"\xEF\xBB\xBF"
               "ab"}));
  // A surrogate pair split by the reader's buffer still comes out whole.
  std::string big = Utf16Le(std::string(32766, 'x')) + std::string("\x3D\xD8\x00\xDE", 4) + Utf16Le("\ny").substr(2);
  L lines = Lines(big, 1 << 20);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(32760), "xxxxxx\xF0\x9F\x98\x80");
  EXPECT_EQ(lines[0].size(), 32770u);
  EXPECT_EQ(lines[1], "y");
}

}  // namespace
}  // namespace fennick
