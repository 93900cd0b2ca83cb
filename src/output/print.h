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

// A piece of the result (or the error document), on standard output or,
// once SendResultToFile is called, kept for the file.
void PrintResultLocked(const std::string& text) REQUIRES(theRunLock);

// Writes the message buffer as a piece of the result and empties it.
void PrintMessageBufferLocked(ResultWriter& writer) REQUIRES(theRunLock);

// From now on the result goes into the file at `nativePath` instead of
// standard output: kept while the run writes it, and written whole when the
// run marks its end (CommitResultLocked), so that a reader of the file never
// sees a part of it. Should the file not take it then, standard output gets
// `undelivered` (the run's error document for the file) and the run ends
// with `undeliveredExitCode`; both may be set again as the run's form is
// settled. An empty path sends the result to standard output again.
void SendResultToFile(const std::string& nativePath, const std::string& undelivered, int undeliveredExitCode)
    EXCLUDES(theRunLock);

// Writes the kept result into its file, once; nothing without a file. Returns
// the exit code the run ends with: `exitCode`, or the undelivered one.
int CommitResultLocked(int exitCode) REQUIRES(theRunLock);

}  // namespace fennick
