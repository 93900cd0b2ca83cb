// Printing the result: the message buffer and the console lines, through the
// one writer of standard output. The "Locked" forms are for a caller that
// holds the run's lock (StandardOutputLock) already.
#pragma once

#include <string>

namespace fennick {

struct ResultWriter;

// Where console lines go: standard output, or standard error where standard
// output must hold the result alone. Set once at start.
void SetConsoleOnStandardError(bool onStandardError);

// A console line, or anything that is not part of the result document.
void PrintText(const std::string& text);
void PrintTextLocked(const std::string& text);

// A piece of the result (or the error document), on standard output.
void PrintResultLocked(const std::string& text);

// Writes the message buffer as a piece of the result and empties it.
void PrintMessageBufferLocked(ResultWriter& writer);

// Marks the run finished once its last bytes are out; flushes them. Called
// in the same hold of the lock as the write of those bytes, so that nothing
// can come after them.
void MarkFinishedLocked(int exitCode);

// Whether the run has written its last bytes, and with which exit code.
bool RunFinishedLocked(int& exitCode);

}  // namespace fennick
