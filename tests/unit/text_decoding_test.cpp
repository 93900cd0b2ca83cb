#include "platform/text_decoding.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

std::string Decode(const std::string& bytes, NarrowText target, size_t piece) {
  TextDecoder decoder(target);
  std::string text;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    decoder.Feed(bytes.data() + at, std::min(piece, bytes.size() - at), text);
  }
  decoder.Finish(text);
  return text;
}

std::string B(const char* bytes, size_t size) { return std::string(bytes, size - 1); }
#define BYTES(literal) B(literal, sizeof literal)

struct Row {
  const char* what;
  std::string bytes;
  std::string utf8;
  std::string windows1252;
};

TEST(TextDecoding, MarksAndUtf16BecomeThePlatformsText) {
  const Row rows[] = {
      {"empty file", "", "", ""},
      {"no mark: every byte as it is", BYTES("a\xFF\xFE\0\xEF\xBB\xBF\r\n"), BYTES("a\xFF\xFE\0\xEF\xBB\xBF\r\n"),
       BYTES("a\xFF\xFE\0\xEF\xBB\xBF\r\n")},
      {"UTF-8 mark dropped",
       "\xEF\xBB\xBF"
       "A\xC3\xA4",
       "A\xC3\xA4", "A\xC3\xA4"},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", "", ""},
      {"half a mark is text", "\xEF\xBB", "\xEF\xBB", "\xEF\xBB"},
      {"UTF-16 mark alone", "\xFF\xFE", "", ""},
      {"UTF-16 LE",
       BYTES("\xFF\xFE"
             "a\0\xE4\0\xAC\x20"),
       "a\xC3\xA4\xE2\x82\xAC", "a\xE4\x80"},
      {"UTF-16 BE", BYTES("\xFE\xFF\0a\0\xE4\x20\xAC"), "a\xC3\xA4\xE2\x82\xAC", "a\xE4\x80"},
      {"beyond Windows-1252", BYTES("\xFF\xFE\x2D\x4E\x81\0"), "\xE4\xB8\xAD\xC2\x81", "??"},
      {"surrogate pair", BYTES("\xFF\xFE\x3D\xD8\0\xDEx\0"), "\xF0\x9F\x98\x80x", "?x"},
      {"surrogate pair BE", BYTES("\xFE\xFF\xD8\x3D\xDE\0"), "\xF0\x9F\x98\x80", "?"},
      {"lone high surrogate", BYTES("\xFF\xFE\x3D\xD8x\0\x3D\xD8"), "?x?", "?x?"},
      {"lone low surrogate", BYTES("\xFF\xFE\0\xDCx\0"), "?x", "?x"},
      {"odd last byte", BYTES("\xFF\xFEx\0y"), "x?", "x?"},
      {"NUL and CR LF stay", BYTES("\xFF\xFEx\0\0\0\r\0\n\0"), BYTES("x\0\r\n"), BYTES("x\0\r\n")},
  };
  for (const Row& row : rows) {
    for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{4096}}) {
      EXPECT_EQ(Decode(row.bytes, NarrowText::Utf8, piece), row.utf8) << row.what << ", pieces of " << piece;
      EXPECT_EQ(Decode(row.bytes, NarrowText::Windows1252, piece), row.windows1252)
          << row.what << ", pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace fennick
