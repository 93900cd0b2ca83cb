// A lock of its own for state that not the whole run shares (a group's
// plan), with a condition to wait on. Taken after the run's lock, never
// before it.
#pragma once

#include <memory>

#include "platform/thread_annotations.h"

namespace fennick {

class CAPABILITY("mutex") Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Lock() ACQUIRE();
  void Unlock() RELEASE();
  // Lets go of the lock until WakeAll, then takes it again. Wakes may come
  // without cause, so the caller checks its condition in a loop.
  void Wait() REQUIRES(this);
  void WakeAll();

 private:
  struct Native;
  std::unique_ptr<Native> native_;
};

// Holds a mutex while it lives.
class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~MutexLock() RELEASE() { mutex_.Unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex& mutex_;
};

}  // namespace fennick
