// A group run's systems measured in child processes, one each, for a
// library that cannot be used from threads: each child has its own library,
// its own trace file and its own end.
#pragma once

#include <string>
#include <vector>

#include "platform/child_process.h"

namespace fennick {

struct GroupRun;
struct SystemOutcome;

// A child at work, known to the run so that an early end can end it.
struct RunningChild {
  ChildProcess process;
  std::string directory;
};

// Measures `system` in a child started from the program's own file: logon,
// system information, rows and close. Runs on a worker thread.
void MeasureInChild(GroupRun& group, SystemOutcome& system);

// Ends every child still at work and removes its directory; the run is
// ending early. The caller holds the run's lock.
void EndChildrenLocked(GroupRun& group);

// The child's files, added to the working directory when its system is
// released or done: the library's trace lines appended to its trace file,
// and the parameter copy as the last logon that used one left it. Each is
// added once. The caller holds the run's lock.
void KeepLibraryFiles(SystemOutcome& system);

}  // namespace fennick
