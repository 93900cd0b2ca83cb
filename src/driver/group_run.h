// The item run: every system of a listing, one channel each, closed by a
// summary. Listed profiles are read on the main road in listing order; the
// RFC work of the systems may overlap (a pool of threads where the library
// allows it); every system's part of the output is released in listing
// order, so the bytes are those of a run one system at a time.
#pragma once

#include <memory>
#include <vector>

#include "driver/child_measure.h"
#include "driver/system_outcome.h"
#include "output/tablespace_evaluation.h"

namespace fennick {

struct RunState;

struct GroupRun {
  RunState& rs;
  ChannelUnit unit = ChannelUnit::Percent;
  std::vector<std::unique_ptr<SystemOutcome>> systems;  // in listing order
  bool inChildren = false;  // each system in a child process of its own

  // Under the run's lock.
  bool documentOpen = false;
  bool allRead = false;
  size_t nextToMeasure = 0;
  size_t nextToRelease = 0;
  size_t nextToComplete = 0;  // released, but its close not yet seen to
  unsigned processed = 0;
  unsigned missing = 0;  // listed profiles that do not exist
  long connectionNumbers = 0;
  int busyWorkers = 0;
  std::vector<RunningChild*> children;
  int exitCode = 0;  // once the run has written its last byte

  explicit GroupRun(RunState& state) : rs(state) {}
};

// Every system of the listing. Returns the exit code.
int RunItems(RunState& rs);

// The time budget ran out: closes the document from what has finished and
// ends the process. The caller holds the run's lock.
[[noreturn]] void EndGroupAtBudgetLocked(GroupRun& group, int budgetSeconds);

// The library's handler fired on the main road (the library in the
// process, one system at a time). The caller holds the run's lock.
[[noreturn]] void EndGroupWithHandlerLocked(GroupRun& group, const HandlerReport& report);

}  // namespace fennick
