// The text files the program reads, turned into the platform's narrow text:
// byte-order marks and UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fennick {

// Narrow text: what the program's readers decode into (UTF-8, so that every
// name reaches the file system whole), and what the RFC library reads.
enum class NarrowText { Utf8, Windows1252 };

// The narrow text of the RFC library's own files: UTF-8 on POSIX;
// Windows-1252, the ANSI code page of the monitors' servers, on Windows.
NarrowText PlatformNarrowText();

// Appends a character (up to U+10FFFF) as UTF-8.
void AppendUtf8(uint32_t c, std::string& text);

// The character a Windows-1252 byte stands for; 0 for the five bytes it
// leaves undefined.
uint32_t Windows1252Character(unsigned char byte);

// Decodes a file a piece at a time, so that a file of any size goes through
// a fixed buffer. A UTF-8 mark at the start is dropped; after a UTF-16 mark
// (either byte order) the rest is decoded into the target text, where a
// character the target lacks, a lone surrogate and an odd last byte each
// become "?". A file without a mark passes byte for byte.
struct TextDecoder {
  explicit TextDecoder(NarrowText target) : target_(target) {}

  // Appends the text of the next `count` bytes of the file to `text`.
  void Feed(const char* bytes, size_t count, std::string& text);

  // At the end of the file: appends what was held back for bytes to come.
  void Finish(std::string& text);

 private:
  enum class Form { Undecided, Bytes, Utf16Le, Utf16Be };

  void DecideForm(std::string& text, bool atEnd);
  void DecodeUnit(uint32_t unit, std::string& text);
  void Append(uint32_t character, std::string& text) const;

  NarrowText target_;
  Form form_ = Form::Undecided;
  std::string start_;           // the first bytes, until the mark is known
  int firstByte_ = -1;          // the first byte of a UTF-16 unit
  uint32_t highSurrogate_ = 0;  // a high surrogate waiting for its low one
};

}  // namespace fennick
