#include "output/xml_text.h"

#include <cstdint>

#include "platform/text_decoding.h"

namespace fennick {

namespace {

bool PlainAscii(unsigned char c) { return c == '\t' || (c >= 0x20 && c <= 0x7E); }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The characters a document may hold. C1 controls are valid XML but no
// reader of a sensor text wants them, so they count as controls here.
bool AllowedInXml(uint32_t cp) {
  if (cp < 0x80) return PlainAscii(static_cast<unsigned char>(cp));
  if (cp < 0xA0) return false;
  if (cp >= 0xD800 && cp <= 0xDFFF) return false;
  return cp != 0xFFFE && cp != 0xFFFF && cp <= 0x10FFFF;
}

// What a lead byte promises: the sequence's length, the bits it carries
// and the smallest code point that needs that length.
struct Lead {
  size_t length;
  uint32_t bits;
  uint32_t smallest;
};

Lead ReadLead(unsigned char c) {
  if (c >= 0xC0 && c <= 0xDF) return {2, c & 0x1Fu, 0x80};
  if (c >= 0xE0 && c <= 0xEF) return {3, c & 0x0Fu, 0x800};
  if (c >= 0xF0 && c <= 0xF7) return {4, c & 0x07u, 0x10000};
  return {0, 0, 0};
}

// The length of the UTF-8 sequence at `at`, with its code point, or 0 when
// the bytes there are no shortest-form sequence up to U+10FFFF. Surrogates
// are let through as sequences so that each becomes a single "?".
size_t SequenceAt(const std::string& bytes, size_t at, uint32_t& cp) {
  const Lead lead = ReadLead(static_cast<unsigned char>(bytes[at]));
  if (lead.length == 0 || bytes.size() - at < lead.length) return 0;
  cp = lead.bits;
  for (size_t k = 1; k < lead.length; ++k) {
    const unsigned char next = static_cast<unsigned char>(bytes[at + k]);
    if (!IsContinuation(next)) return 0;
    cp = cp << 6 | (next & 0x3Fu);
  }
  if (cp < lead.smallest || cp > 0x10FFFF) return 0;
  return lead.length;
}

// A byte that is no part of valid UTF-8, read as Windows-1252.
void AppendWindows1252(unsigned char c, std::string& out) {
  const uint32_t cp = Windows1252Character(c);
  if (cp == 0) {
    out += '?';
  } else {
    AppendUtf8(cp, out);
  }
}

bool AllPlainAscii(const std::string& bytes) {
  for (char c : bytes) {
    if (!PlainAscii(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::string XmlCharacters(const std::string& bytes) {
  // Nearly every name is plain ASCII: hand it back as it came.
  if (AllPlainAscii(bytes)) return bytes;
  std::string out;
  out.reserve(bytes.size() + 8);
  size_t at = 0;
  while (at < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80) {
      out += PlainAscii(c) ? static_cast<char>(c) : '?';
      ++at;
      continue;
    }
    uint32_t cp = 0;
    const size_t length = SequenceAt(bytes, at, cp);
    if (length == 0) {
      AppendWindows1252(c, out);
      ++at;
    } else {
      if (AllowedInXml(cp)) {
        out.append(bytes, at, length);
      } else {
        out += '?';
      }
      at += length;
    }
  }
  return out;
}

}  // namespace fennick
