// Packed decimals as the classic library hands them over in table rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fennick {

// A packed decimal field as text: the sign ("-" for a D sign nibble, "+"
// otherwise), then every other nibble as a hexadecimal digit, with a point
// before the last `decimals` digits.
std::string PackedToText(const unsigned char* field, size_t length, unsigned decimals);

// The packed field's value, read from its text.
int64_t PackedValue(const unsigned char* field, size_t length);

}  // namespace fennick
