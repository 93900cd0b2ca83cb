// A field's value as the getters hand it out.
#pragma once

#include <string>

#include "nw_containers.h"

namespace nwsim {

// CHAR, DATE and TIME fields are read as characters.
bool IsCharacterField(const Field& field);

// The field as RfcGetString gives it: CHAR without trailing blanks, DATE
// and TIME as they are, INT in decimal, packed as PackedText.
std::string FieldText(const Field& field);

// Packed bytes as text: "-" when the sign nibble is D, then the digit
// nibbles without leading zeros ("0" when all are zero). A nibble above 9
// is written as its hex letter, so an invalid value still shows what it is.
std::string PackedText(const std::string& bytes);

// "CHAR", "DATE", "TIME", "INT" or "BCD", for messages.
const char* TypeName(FieldType type);

}  // namespace nwsim
