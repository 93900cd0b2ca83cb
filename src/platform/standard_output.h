// The one writer of standard output. Every write holds one process-wide
// lock, so that a write from another thread (the time budget's end) never
// cuts into a line half written.
#pragma once

#include <string>

namespace fennick {

// Standard output carries bytes exactly as written (no line-end translation).
void PrepareStandardOutput();

// Writes under the lock.
void WriteStandardOutput(const std::string& text);

// Holds the lock while it lives: for several writes with nothing between
// them, or to read what writers change.
struct StandardOutputLock {
  StandardOutputLock();
  ~StandardOutputLock();
  StandardOutputLock(const StandardOutputLock&) = delete;
  StandardOutputLock& operator=(const StandardOutputLock&) = delete;
};

// Writes while the caller holds a StandardOutputLock.
void WriteStandardOutputLocked(const std::string& text);

void FlushStandardOutput();
void FlushStandardOutputLocked();

}  // namespace fennick
