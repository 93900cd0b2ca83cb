// Descriptor writes the POSIX variants share.
#pragma once

#include <string>

namespace fennick {

// Writes all of `bytes`, going on after partial writes and interruptions;
// false when the descriptor takes no more (a broken pipe, a full disk).
bool WriteAll(int fd, const std::string& bytes);

// The system's short text for an error number ("Permission denied"), safe
// to call from several threads at once.
std::string ErrorText(int error);

}  // namespace fennick
