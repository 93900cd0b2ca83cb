#include "platform/text_lines.h"

namespace fennick {

TextLineReader::TextLineReader(std::FILE* file, size_t limit)
    : file_(file), limit_(limit < 1 ? 1 : limit), buffer_(64 * 1024) {}

int TextLineReader::Peek() {
  if (pos_ == end_) {
    if (!file_ || atEnd_) return EOF;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    atEnd_ = end_ == 0;  // asked once at the end, not again for every call
    if (atEnd_) return EOF;
  }
  return static_cast<unsigned char>(buffer_[pos_]);
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
