// The one writer of standard output, and the run's one lock. Every write
// holds the lock, so that a write from another thread (the time budget's
// end) never cuts into a line half written; the group run's threads share
// their state under the same lock, so the budget's end sees it whole.
#pragma once

#include <string>

namespace fennick {

// Standard output carries bytes exactly as written (no line-end translation).
void PrepareStandardOutput();

// Holds the lock while it lives: for several writes with nothing between
// them, or to read what other threads change.
struct StandardOutputLock {
  StandardOutputLock();
  ~StandardOutputLock();
  StandardOutputLock(const StandardOutputLock&) = delete;
  StandardOutputLock& operator=(const StandardOutputLock&) = delete;
};

// Writes while the caller holds a StandardOutputLock; standard error takes
// the plugin form's console lines.
void WriteStandardOutputLocked(const std::string& text);
void WriteStandardErrorLocked(const std::string& text);

void FlushStandardOutput();
void FlushStandardOutputLocked();

// While the caller holds the lock: lets go of it until another thread calls
// WakeWaitersLocked, then takes it again. Wakes may come without cause, so
// the caller checks its condition in a loop.
void WaitLocked();
void WakeWaitersLocked();

}  // namespace fennick
