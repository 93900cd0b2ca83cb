#include "platform/text_lines.h"

namespace fennick {

TextLineReader::TextLineReader(std::FILE* file, size_t limit, FileText form)
    : file_(file),
      limit_(limit < 1 ? 1 : limit),
      decode_(form == FileText::Decoded),
      decoder_(NarrowText::Utf8),
      bytes_(64 * 1024) {}

int TextLineReader::Peek() {
  // A piece of UTF-16 can decode to no text at all (a surrogate waiting for
  // its other half), so read on until there is some or the file ends.
  while (pos_ == text_.size()) {
    if (!file_ || atEnd_) return EOF;
    text_.clear();
    pos_ = 0;
    size_t count = std::fread(bytes_.data(), 1, bytes_.size(), file_);
    atEnd_ = count == 0;  // asked once at the end, not again for every call
    if (!decode_) {
      text_.assign(bytes_.data(), count);
    } else if (atEnd_) {
      decoder_.Finish(text_);
    } else {
      decoder_.Feed(bytes_.data(), count, text_);
    }
  }
  return static_cast<unsigned char>(text_[pos_]);
}

int TextLineReader::Get() {
  int c = Peek();
  if (c != EOF) ++pos_;
  return c;
}

bool TextLineReader::Next(std::string& line) {
  line.clear();
  while (line.size() < limit_) {
    int c = Get();
    if (c == EOF) break;
    if (c == '\r' && Peek() == '\n') c = Get();  // text mode: CR LF reads as LF
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (line.empty()) return false;
  size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return true;
}

}  // namespace fennick
