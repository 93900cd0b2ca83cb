// The run's one lock. It guards standard output and the run's end (whether
// its last bytes are out), and what the release of a group's systems
// renders, so that a write from another thread (the time budget's end)
// never cuts into a line half written and sees the run's output whole. A
// group's plan has a lock of its own, always taken after this one.
#pragma once

#include "platform/thread_annotations.h"

namespace fennick {

// The lock itself, as the thread-safety analysis names it.
class CAPABILITY("run lock") RunLockName {};
extern RunLockName theRunLock;

// Holds the lock while it lives.
struct SCOPED_CAPABILITY RunLock {
  RunLock() ACQUIRE(theRunLock);
  ~RunLock() RELEASE();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
};

// Tells the analysis what a caller knows: the lock is held here (a function
// called back from one that holds it).
inline void RunLockIsHeld() ASSERT_CAPABILITY(theRunLock) {}

// While the caller holds the lock: lets go of it until another thread calls
// WakeWaitersLocked, then takes it again. Wakes may come without cause, so
// the caller checks its condition in a loop.
void WaitLocked() REQUIRES(theRunLock);
void WakeWaitersLocked() REQUIRES(theRunLock);

}  // namespace fennick
