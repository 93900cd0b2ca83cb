#include "nw_state.h"

#include <atomic>

#include "sim_clock.h"

namespace nwsim {

namespace {

std::atomic_flag g_stateBusy = ATOMIC_FLAG_INIT;

// Spins a while before it yields the processor: the holder is almost always
// about to let go.
const int kSpinsBeforeSleep = 1000;

}  // namespace

NwState& State() {
  static NwState* state = new NwState;
  return *state;
}

NwConnectionRecord* FindConnection(NwConnection handle) {
  auto found = State().connections.find(reinterpret_cast<uintptr_t>(handle));
  return found == State().connections.end() ? nullptr : found->second.get();
}

StateLock::StateLock() {
  int spins = 0;
  while (g_stateBusy.test_and_set(std::memory_order_acquire)) {
    if (++spins >= kSpinsBeforeSleep) rfcsim::WaitMilliseconds(1);
  }
}

StateLock::~StateLock() { g_stateBusy.clear(std::memory_order_release); }

}  // namespace nwsim
