// Texts from files and arguments made fit for an XML document: valid UTF-8
// holding only characters that XML 1.0 allows.
#pragma once

#include <string>

namespace fennick {

// Valid UTF-8 passes unchanged. Any other byte from 0x80 up is read alone as
// Windows-1252 and written as UTF-8; the five bytes that code page leaves
// undefined become "?". Control characters other than tab become "?", as do
// U+FFFE, U+FFFF and surrogates (one "?" for each 3-byte sequence). The
// markup characters are left alone: escaping them is the writer's job.
std::string XmlCharacters(const std::string& bytes);

}  // namespace fennick
