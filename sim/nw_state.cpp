#include "nw_state.h"

#include "sim_spin_lock.h"

namespace nwsim {

namespace {

rfcsim::SpinLock g_stateLock;

}  // namespace

NwState& State() {
  static NwState* state = new NwState;
  return *state;
}

NwConnectionRecord* FindConnection(NwConnection handle) {
  auto found = State().connections.find(reinterpret_cast<uintptr_t>(handle));
  return found == State().connections.end() ? nullptr : found->second.get();
}

StateLock::StateLock() { rfcsim::Lock(g_stateLock); }

StateLock::~StateLock() { rfcsim::Unlock(g_stateLock); }

}  // namespace nwsim
