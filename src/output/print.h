// Printing the result: the message buffer and the console lines, through the
// one writer of standard output.
#pragma once

#include <string>

namespace fennick {

struct ResultWriter;

// A console line, or anything that is not part of the result document.
void PrintText(const std::string& text);

// A piece of the result (or the error document): from here on the result
// has begun.
void PrintResult(const std::string& text);

// Writes the message buffer as a piece of the result and empties it.
void PrintMessageBuffer(ResultWriter& writer);

// Whether a piece of the result has been printed; read it while holding the
// standard-output lock.
bool ResultBegunLocked();

}  // namespace fennick
