// What the NetWeaver stand-in keeps for the whole process: the connections
// and the live data containers, and the lock around them.
#pragma once

#include <map>
#include <memory>

#include "nw_containers.h"
#include "sim_config.h"

struct NwConnectionRecord {
  rfcsim::SystemConfig system;  // as sapsim.ini held it at open
  // A broken connection keeps its handle until it is closed, but takes no
  // more calls.
  bool open = true;
};

namespace nwsim {

struct NwState {
  std::map<uintptr_t, std::unique_ptr<NwConnectionRecord>> connections;  // by handle number
  LiveContainers containers;
};

// Never destroyed: exit handlers of the caller may still call in.
NwState& State();

// The connection behind a handle, open or broken; null when there is none.
NwConnectionRecord* FindConnection(NwConnection handle);

// One caller at a time in the state. Connections may be used from several
// threads; the Windows cross compiler's thread model has no std::mutex, and
// no section holds the lock long (network delays are waited outside it), so
// a spin lock will do.
struct StateLock {
  StateLock();
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;
};

}  // namespace nwsim
