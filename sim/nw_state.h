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

// Never destroyed: exit handlers of the caller may still call in. Touched
// only under StateLock, as is everything reached through it.
NwState& State();

// The connection behind a handle, open or broken; null when there is none.
// Under StateLock; the record may go once the lock is let go.
NwConnectionRecord* FindConnection(NwConnection handle);

// One caller at a time in the state: connections may be used from several
// threads. A call copies what it needs under the lock and waits out its
// network delay after letting go, so one slow system holds up no other.
struct StateLock {
  StateLock();
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;
};

}  // namespace nwsim
