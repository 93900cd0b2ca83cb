// The run's one lock. It guards the run's progress (what each system has
// come to, the counts, whether the run has ended) and standard output, so
// that a write from another thread (the time budget's end) never cuts into
// a line half written and sees the run's state whole.
#pragma once

namespace fennick {

// Holds the lock while it lives.
struct RunLock {
  RunLock();
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
};

// While the caller holds the lock: lets go of it until another thread calls
// WakeWaitersLocked, then takes it again. Wakes may come without cause, so
// the caller checks its condition in a loop.
void WaitLocked();
void WakeWaitersLocked();

}  // namespace fennick
