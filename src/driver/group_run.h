// The item run: every system of a listing, one channel each, closed by a
// summary. Listed profiles are read on the main road in listing order; the
// RFC work of the systems may overlap (threads where the library allows
// it, else child processes); every system's part of the output is released
// in listing order, so the bytes are those of a run one system at a time.
#pragma once

#include <memory>
#include <vector>

#include "driver/child/child_measure.h"
#include "driver/measure.h"
#include "output/output_form.h"
#include "output/tablespace_evaluation.h"

namespace fennick {

struct RunState;

struct GroupRun {
  RunState& rs;
  ChannelRules rules;
  std::vector<std::unique_ptr<SystemOutcome>> systems;  // in listing order
  bool inChildren = false;                              // each system in a child process of its own
  ChildRoad children;

  // Under the run's lock.
  bool documentOpen = false;
  bool allRead = false;
  size_t nextToTake = 0;     // the next system a worker may take
  size_t nextToAdvance = 0;  // the first system not done
  unsigned processed = 0;
  unsigned missing = 0;                      // listed profiles that do not exist
  std::vector<UnmeasuredSystem> unmeasured;  // the systems that gave no channel
  long connectionNumbers = 0;
  int busyWorkers = 0;
  SystemOutcome* onMainRoad = nullptr;     // measured in this process right now
  bool workspaceOpen = false;              // the library's private files of this process
  std::vector<SystemOutcome*> handedBack;  // no child could measure them: the main road will
  int exitCode = 0;                        // once the run has written its last byte

  explicit GroupRun(RunState& state) : rs(state) {}
};

// Every system of the listing. Returns the exit code.
int RunItems(RunState& rs);

}  // namespace fennick
