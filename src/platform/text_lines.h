// Reading text files line by line, the same way on every platform.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/text_decoding.h"

namespace fennick {

// How a file's bytes become the text that is split into lines.
enum class FileText {
  Decoded,   // byte-order marks dropped and UTF-16 decoded into UTF-8
  AsStored,  // every byte as it is: files another program wrote for itself
};

// Reads lines as a Windows text-mode read with a length limit gives them:
// CR LF counts as one line end; a line longer than the limit is handed out
// in pieces of `limit` characters (the line end counts towards the limit),
// each piece as a line of its own. Each piece is cut at its first NUL byte,
// then loses a trailing CR and then a trailing LF.
struct TextLineReader {
  TextLineReader(std::FILE* file, size_t limit, FileText form = FileText::Decoded);

  // Next line into `line`; false at the end of the file.
  bool Next(std::string& line);

 private:
  int Get();
  int Peek();

  std::FILE* file_;
  size_t limit_;
  bool decode_;
  TextDecoder decoder_;
  std::vector<char> bytes_;
  std::string text_;
  size_t pos_ = 0;
  bool atEnd_ = false;
};

}  // namespace fennick
