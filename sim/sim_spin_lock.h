// A lock for what calls from several threads share. The Windows cross
// compiler's thread model has no std::mutex, and no section holds a lock
// long (network delays are waited outside every lock), so spinning will do.
#pragma once

#include <atomic>

namespace rfcsim {

struct SpinLock {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
};

void Lock(SpinLock& lock);
void Unlock(SpinLock& lock);

// Holds the lock from construction to destruction.
struct SpinGuard {
  explicit SpinGuard(SpinLock& held) : lock(held) { Lock(lock); }
  ~SpinGuard() { Unlock(lock); }
  SpinGuard(const SpinGuard&) = delete;
  SpinGuard& operator=(const SpinGuard&) = delete;
  SpinLock& lock;
};

}  // namespace rfcsim
