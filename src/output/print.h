// The program's one road to standard output.
#pragma once

#include <string>

namespace fennick {

struct RunState;

void PrintText(const std::string& text);

// Writes the message buffer to standard output and empties it.
void PrintMessageBuffer(RunState& rs);

}  // namespace fennick
