#include <windows.h>

#include "platform/mutex.h"

namespace fennick {

// A slim lock and a condition variable: no handle, so waiting is not bound
// to the 64 handles WaitForMultipleObjects takes.
struct Mutex::Native {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE change = CONDITION_VARIABLE_INIT;
};

Mutex::Mutex() : native_(new Native) {}
Mutex::~Mutex() = default;

void Mutex::Lock() { AcquireSRWLockExclusive(&native_->lock); }
void Mutex::Unlock() { ReleaseSRWLockExclusive(&native_->lock); }
void Mutex::Wait() { SleepConditionVariableSRW(&native_->change, &native_->lock, INFINITE, 0); }
void Mutex::WakeAll() { WakeAllConditionVariable(&native_->change); }

}  // namespace fennick
