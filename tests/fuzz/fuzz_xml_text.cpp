// Texts bound for XML documents: whatever goes in, a parser must take what
// comes out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "output/xml_text.h"

namespace {

// The bytes that may follow a lead byte as its first continuation, by the
// table of well-formed UTF-8 byte sequences; the later continuations are
// always 80-BF. A lead byte outside the table starts no sequence.
struct LeadRow {
  unsigned char leadLow, leadHigh;
  unsigned char secondLow, secondHigh;
  int length;
};

const LeadRow kWellFormed[] = {
    {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3}, {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3},
    {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

const LeadRow* RowFor(unsigned char lead) {
  for (const LeadRow& row : kWellFormed) {
    if (lead >= row.leadLow && lead <= row.leadHigh) return &row;
  }
  return nullptr;
}

// Splits well-formed UTF-8 into code points; false at the first byte that
// breaks the table.
bool DecodeStrict(const std::string& text, std::u32string& points) {
  points.clear();
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      points += static_cast<char32_t>(lead);
      ++i;
      continue;
    }
    const LeadRow* row = RowFor(lead);
    if (!row || i + row->length > text.size()) return false;
    const unsigned char second = static_cast<unsigned char>(text[i + 1]);
    if (second < row->secondLow || second > row->secondHigh) return false;
    char32_t cp = lead & (0xFF >> (row->length + 1));
    for (int k = 1; k < row->length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if (next < 0x80 || next > 0xBF) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    points += cp;
    i += row->length;
  }
  return true;
}

// XML 1.0's Char production, narrowed by the promise that no control other
// than tab comes out (texts are single lines; C1 controls are shown as "?").
bool FitForXml(char32_t cp) {
  if (cp == 0x09) return true;
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return false;
  if (cp <= 0xD7FF) return true;
  if (cp >= 0xE000 && cp <= 0xFFFD) return true;
  return cp >= 0x10000 && cp <= 0x10FFFF;
}

bool AllFitForXml(const std::u32string& points) {
  for (char32_t cp : points) {
    if (!FitForXml(cp)) return false;
  }
  return true;
}

bool PrintableAsciiOrTab(const std::string& text) {
  for (unsigned char c : text) {
    if (c != '\t' && (c < 0x20 || c > 0x7E)) return false;
  }
  return true;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = fuzz::Text(data, size);
  const std::string out = fennick::XmlCharacters(in);
  const std::string detail = Hex(in) + " -> " + Hex(out);

  std::u32string points;
  fuzz::Check(DecodeStrict(out, points), "output is not well-formed UTF-8", detail);
  fuzz::Check(AllFitForXml(points), "output holds a character XML or a one-line text cannot take", detail);
  // Every input byte becomes at most one 3-byte character.
  fuzz::Check(out.size() <= 3 * in.size(), "output grew more than three times", detail);

  if (PrintableAsciiOrTab(in)) fuzz::Check(out == in, "printable ASCII was changed", detail);
  std::u32string inPoints;
  if (DecodeStrict(in, inPoints) && AllFitForXml(inPoints)) {
    fuzz::Check(out == in, "fit UTF-8 was changed", detail);
  }
  fuzz::Check(fennick::XmlCharacters(out) == out, "cleaning the output changes it again", detail);
  return 0;
}
