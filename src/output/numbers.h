// Number texts: packed decimals from SAP, thousands grouping, and reading
// the leading integer of a text the way the C library's atoi does.
#pragma once

#include <cstdint>
#include <string>

namespace fennick {

// The value of a text's leading integer: blanks, an optional sign and the
// digits that follow; 0 when there are none. Saturates instead of overflowing.
int64_t LeadingInteger(const std::string& text);

// A packed decimal field as text: the sign ("-" for a D sign nibble, "+"
// otherwise), then every other nibble as a hexadecimal digit, with a point
// before the last `decimals` digits.
std::string PackedToText(const unsigned char* field, size_t length, unsigned decimals);

// The packed field's value, read from its text.
int64_t PackedValue(const unsigned char* field, size_t length);

// Digits grouped by thousands with full stops, at most two of them:
// 12345 -> 12.345, 1234567890 -> 1234.567.890. A leading minus stays in front.
std::string GroupThousands(const std::string& digits);

}  // namespace fennick
