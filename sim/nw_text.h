// Text between the NetWeaver library's UTF-16 units and the landscape's
// bytes: 0x00-0xFF are U+0000-U+00FF, as the program maps them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rfc/netweaver/nwrfc_api.h"

namespace nwsim {

// A zero-terminated text, empty when null. A unit above 0xFF has no byte of
// its own and becomes "?".
std::string BytesOf(const NwChar* text);

// The units of `bytes`, without a terminator.
std::vector<NwChar> UnitsOf(const std::string& bytes);

// Writes `text` into a field of `size` units, zero-terminated, cut to fit.
void CopyToField(NwChar* field, size_t size, const std::string& text);

}  // namespace nwsim
