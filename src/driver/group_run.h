// The item run: every system of a listing, one channel each, closed by a
// summary. Listed profiles are read on the main road in listing order; the
// RFC work of the systems may overlap (threads where the library allows
// it, else child processes); the plan releases every system's part of the
// output in listing order, so the bytes are those of a run one system at a
// time.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "driver/child/child_measure.h"
#include "driver/group_plan.h"
#include "output/output_form.h"
#include "output/tablespace_evaluation.h"
#include "platform/run_lock.h"

namespace fennick {

struct RunState;

// What the group's release has written so far; the release renders under
// the run's lock.
struct GroupOutput {
  bool documentOpen = false;
  unsigned processed = 0;
  unsigned missing = 0;                      // listed profiles that do not exist
  std::vector<UnmeasuredSystem> unmeasured;  // the systems that gave no channel
  long connectionNumbers = 0;
  bool workspaceOpen = false;  // the library's private files of this process
  int exitCode = 0;            // once the run has written its last byte
};

struct GroupRun {
  RunState& rs;
  ChannelRules rules;
  GroupPlan plan;
  std::atomic<bool> inChildren{false};  // each system in a child process of its own
  ChildRoad children;
  GroupOutput out GUARDED_BY(theRunLock);

  GroupRun(RunState& state, const std::vector<std::string>& profileNames) : rs(state), plan(profileNames) {}
};

// Every system of the listing. Returns the exit code.
int RunItems(RunState& rs);

}  // namespace fennick
