// Descriptor writes the POSIX variants share.
#pragma once

#include <string>

namespace fennick {

// Writes all of `bytes`, going on after partial writes and interruptions;
// false when the descriptor takes no more (a broken pipe, a full disk).
bool WriteAll(int fd, const std::string& bytes);

}  // namespace fennick
