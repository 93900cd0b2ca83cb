#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fennick {
namespace {

std::vector<std::string> Lines(const std::string& content, size_t limit) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  TextLineReader reader(file, limit);
  std::vector<std::string> lines;
  for (std::string line; reader.Next(line);) lines.push_back(line);
  std::fclose(file);
  return lines;
}

using L = std::vector<std::string>;

TEST(TextLines, LineEndsAsWindowsTextModeReadsThem) {
  EXPECT_EQ(Lines("a\nb\n", 99), (L{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nb\r\n", 99), (L{"a", "b"}));
  EXPECT_EQ(Lines("a\nb", 99), (L{"a", "b"}));       // no final line end
  EXPECT_EQ(Lines("a\r", 99), (L{"a"}));             // a lone trailing CR
  EXPECT_EQ(Lines("a\rb\r", 99), (L{"a\rb"}));       // CR alone does not end a line
  EXPECT_EQ(Lines("a\r\r\n", 99), (L{"a\r"}));       // one CR stays
  EXPECT_EQ(Lines("a  \n\n", 99), (L{"a  ", ""}));   // blanks stay
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

TEST(TextLines, NulByteEndsTheLineText) {
  EXPECT_EQ(Lines(std::string("ab\0cd\nx\n", 8), 99), (L{"ab", "x"}));
}

}  // namespace
}  // namespace fennick
