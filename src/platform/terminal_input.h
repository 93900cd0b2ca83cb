// Reading a secret that a user types.
#pragma once

#include <string>

namespace fennick {

// Reads one line of standard input, without its line end (LF or CR LF).
// On a terminal the prompt goes to standard error, what is typed is not
// shown, and a line end follows on standard error in place of the one that
// was not shown. From a pipe or a file the line is read silently. False
// when there was no line to read.
bool ReadSecretLine(const std::string& prompt, std::string& line);

// The same without the terminal: one line as it comes.
bool ReadInputLine(std::string& line);

}  // namespace fennick
