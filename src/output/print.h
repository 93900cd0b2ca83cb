// Printing the result: the message buffer and the console lines, through the
// one writer of standard output. The "Locked" forms are for a caller that
// holds the run's lock already.
#pragma once

#include <string>

#include "platform/run_lock.h"

namespace fennick {

struct ResultWriter;

// Where console lines go: standard output, or standard error where standard
// output must hold the result alone. Set once at start.
void SetConsoleOnStandardError(bool onStandardError);

// No console lines at all, for a form whose standard error must stay empty.
void SetConsoleSilent(bool silent);

// A console line, or anything that is not part of the result document.
void PrintText(const std::string& text) EXCLUDES(theRunLock);
void PrintTextLocked(const std::string& text) REQUIRES(theRunLock);

// A piece of the result (or the error document), on standard output.
void PrintResultLocked(const std::string& text) REQUIRES(theRunLock);

// Writes the message buffer as a piece of the result and empties it.
void PrintMessageBufferLocked(ResultWriter& writer) REQUIRES(theRunLock);

}  // namespace fennick
