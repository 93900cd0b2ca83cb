// Text between the program's bytes and the library's UTF-16, and the
// library's texts as the error document shows them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rfc/netweaver/nwrfc_api.h"

namespace fennick {

// Bytes 0x00-0xFF become U+0000-U+00FF; the result ends with a zero unit.
std::vector<NwChar> ToNwText(const std::string& text);

// Up to `length` units, ending early at a zero unit; a character above
// U+00FF becomes "?".
std::string FromNwText(const NwChar* text, size_t length);

// The text a message of the library gives the error document: from the
// first line that begins with "ERROR", what follows that word and its
// blanks; otherwise the first line. Trimmed either way.
std::string MessageText(const std::string& message);

// A packed field as the library writes it: an optional minus, the digits,
// an optional fraction after a point (dropped). Whatever follows the digits
// ends the number; a text without digits is 0.
int64_t PackedTextValue(const std::string& text);

}  // namespace fennick
