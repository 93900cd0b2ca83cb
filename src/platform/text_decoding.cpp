#include "platform/text_decoding.h"

namespace fennick {

namespace {

// The characters Windows-1252 puts at 0x80-0x9F; 0 where it has none.
const uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char kUtf16BeMark[] = "\xFE\xFF";

bool StartsWith(const std::string& text, const char* prefix, size_t length) {
  return text.size() >= length && text.compare(0, length, prefix, length) == 0;
}

// Whether the bytes so far could still grow into a mark.
bool CouldBecomeMark(const std::string& start) {
  for (const char* mark : {kUtf8Mark, kUtf16LeMark, kUtf16BeMark}) {
    const std::string m(mark);
    if (start.size() < m.size() && m.compare(0, start.size(), start) == 0) return true;
  }
  return false;
}

char Windows1252Byte(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (unsigned i = 0; i < 32; ++i) {
    if (kWindows1252High[i] != 0 && kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void AppendUtf8(uint32_t c, std::string& text) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | c >> 6);
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | c >> 12);
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | c >> 18);
    text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

uint32_t Windows1252Character(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

void TextDecoder::Feed(const char* bytes, size_t count, std::string& text) {
  size_t i = 0;
  // A mark is at most three bytes; they may come in more than one piece.
  while (form_ == Form::Undecided && i < count) {
    start_ += bytes[i++];
    DecideForm(text, false);
  }
  if (form_ == Form::Bytes) {
    text.append(bytes + i, count - i);
    return;
  }
  for (; i < count; ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (firstByte_ < 0) {
      firstByte_ = byte;
      continue;
    }
    const uint32_t unit = form_ == Form::Utf16Le ? (byte << 8 | firstByte_) : (firstByte_ << 8 | byte);
    firstByte_ = -1;
    DecodeUnit(unit, text);
  }
}

void TextDecoder::Finish(std::string& text) {
  if (form_ == Form::Undecided) DecideForm(text, true);
  if (highSurrogate_ != 0) text += '?';
  if (firstByte_ >= 0) text += '?';
  highSurrogate_ = 0;
  firstByte_ = -1;
}

void TextDecoder::DecideForm(std::string& text, bool atEnd) {
  if (StartsWith(start_, kUtf8Mark, 3)) {
    form_ = Form::Bytes;
  } else if (StartsWith(start_, kUtf16LeMark, 2)) {
    form_ = Form::Utf16Le;
  } else if (StartsWith(start_, kUtf16BeMark, 2)) {
    form_ = Form::Utf16Be;
  } else if (atEnd || !CouldBecomeMark(start_)) {
    form_ = Form::Bytes;
    text += start_;  // no mark: these bytes are text like all the others
  }
  if (form_ != Form::Undecided) start_.clear();
}

void TextDecoder::DecodeUnit(uint32_t unit, std::string& text) {
  if (highSurrogate_ != 0) {
    if (IsLowSurrogate(unit)) {
      Append(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00), text);
      highSurrogate_ = 0;
      return;
    }
    text += '?';  // a high surrogate without its low one
    highSurrogate_ = 0;
  }
  if (IsHighSurrogate(unit)) {
    highSurrogate_ = unit;
  } else if (IsLowSurrogate(unit)) {
    text += '?';
  } else {
    Append(unit, text);
  }
}

void TextDecoder::Append(uint32_t character, std::string& text) const {
  if (target_ == NarrowText::Utf8) {
    AppendUtf8(character, text);
  } else {
    text += Windows1252Byte(character);
  }
}

}  // namespace fennick
