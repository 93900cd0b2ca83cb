#include "sim_spin_lock.h"

#include "sim_clock.h"

namespace rfcsim {

namespace {

// Spins a while before it yields the processor: the holder is almost always
// about to let go.
const int kSpinsBeforeSleep = 1000;

}  // namespace

void Lock(SpinLock& lock) {
  int spins = 0;
  while (lock.busy.test_and_set(std::memory_order_acquire)) {
    if (++spins >= kSpinsBeforeSleep) WaitMilliseconds(1);
  }
}

void Unlock(SpinLock& lock) { lock.busy.clear(std::memory_order_release); }

}  // namespace rfcsim
