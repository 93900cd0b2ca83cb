// A group run's systems measured in child processes, one each, for a
// library that cannot be used from threads: each child has its own library,
// its own private files and its own end. The parent starts a child, reads
// what it sends as it comes, and merges it into the system's outcome.
#pragma once

#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/mutex.h"
#include "platform/run_lock.h"

namespace fennick {

struct SystemOutcome;
class GroupPlan;

// A child at work, known to the run so that an early end can end it.
struct RunningChild {
  ChildProcess process;
  std::string workspace;  // the child's private directory, once it has said
};

// What the children of one run share.
struct ChildRoad {
  std::string program;  // the program's own file
  std::string backend;  // the back end each child binds, by its name
  std::vector<RunningChild*> running GUARDED_BY(theRunLock);
  // Children are started outside the run's lock, under this one, and only
  // while the road is open; until a child is among `running` it is among
  // `starting`. An early end closes the road and so finds every child.
  Mutex startMutex;
  bool closed GUARDED_BY(startMutex) = false;
  std::vector<RunningChild*> starting GUARDED_BY(startMutex);
};

// Measures `system` in a child: logon, system information, rows and close.
// Runs on a worker thread; the outcome is merged under the run's lock, the
// measurement as soon as it comes (the plan then has it measured) and the
// rest once the child has closed (then closed). False, with the reason,
// when no child could measure it at all: the system is then as it was.
bool MeasureInChild(ChildRoad& road, GroupPlan& plan, SystemOutcome& system, std::string& why);

// Ends every child still at work and removes its workspace; the run is
// ending early.
void EndChildrenLocked(ChildRoad& road) REQUIRES(theRunLock);

}  // namespace fennick
