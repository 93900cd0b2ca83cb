#include "driver/child_measure.h"

#include <algorithm>

#include "driver/child_run.h"
#include "driver/group_run.h"
#include "driver/outcome_frame.h"
#include "driver/run_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/standard_output.h"

namespace fennick {

namespace {

const char kParameterCopy[] = "SapRfc.ini";

// The steps and console lines the child has sent beyond those known.
void TakeWork(const RfcWork& sent, RfcWork& known) {
  for (size_t i = known.steps.size(); i < sent.steps.size(); ++i) known.steps.push_back(sent.steps[i]);
  for (size_t i = known.consoleLines.size(); i < sent.consoleLines.size(); ++i) {
    known.consoleLines.push_back(sent.consoleLines[i]);
  }
}

// A child that never told its outcome counts as a system not reached. The
// caller holds the run's lock.
void NoOutcomeLocked(SystemOutcome& system, const std::string& why) {
  system.work.steps.push_back(RfcStep{false, "measuring process failed", why});
  if (system.finished) return;
  system.end = SystemEnd::LogonFailed;
  system.rows.clear();
  system.finished = true;
}

void NoOutcome(SystemOutcome& system, const std::string& why) {
  StandardOutputLock lock;
  NoOutcomeLocked(system, why);
  system.done = true;
  WakeWaitersLocked();
}

}  // namespace

void MeasureInChild(GroupRun& g, SystemOutcome& system) {
  RunningChild child;
  bool started = false;
  {
    // Made and started under the run's lock, so that an early end never
    // misses a child or its directory.
    StandardOutputLock lock;
    // Leftovers of runs that died before they could clean up, once a run.
    static bool swept = false;
    if (!swept) {
      swept = true;
      SweepOrphanedDirectories();
    }
    child.directory = MakePrivateDirectory();
    if (!child.directory.empty()) {
      const EnvironmentValues environment = {
          {kMeasuringChildMarker, "1"},
          {"RFC_TRACE_DIR", child.directory},
          {"RFC_INI", DirectoryPrefix(child.directory) + kParameterCopy},
      };
      started = StartChildProcess(g.rs.programPath, environment, child.process);
      if (started) {
        g.children.push_back(&child);
      } else {
        RemoveDirectoryTree(child.directory);
      }
    }
  }
  if (!started) return NoOutcome(system, child.directory.empty() ? "no private directory" : "not started");
  ChildRequest request;
  request.request = system.request;
  request.directory = child.directory;
  const std::string frame = EncodeChildRequest(request);
  WriteToChild(child.process, std::to_string(frame.size()) + "\n" + frame);
  // The steps come as the child takes them, so that a budget that runs
  // out meanwhile can trace them.
  std::string outcome;
  SystemOutcome measured;
  FrameState state = FrameState::Incomplete;
  size_t filesTaken = 0;
  bool parametersTaken = false;
  while ((state == FrameState::Incomplete || state == FrameState::Measured) &&
         ReadFromChild(child.process, outcome)) {
    measured = SystemOutcome();
    state = DecodeOutcome(outcome, measured);
    StandardOutputLock lock;
    TakeWork(measured.work, system.work);
    // Measured: the system may be released while the child closes.
    if (state == FrameState::Measured && !system.finished) {
      system.end = measured.end;
      system.rows = measured.rows;
      system.libraryFiles = measured.libraryFiles;
      system.parameterCopy = measured.parameterCopy;
      filesTaken = measured.libraryFiles.size();
      parametersTaken = measured.parameterCopy.has_value();
      system.finished = true;
      WakeWaitersLocked();
    }
  }
  // The directory goes before the child leaves the run's list, so that an
  // early end cannot miss it; the child is reaped only after, so that its
  // process id stays its own while an early end may still kill it.
  RemoveDirectoryTree(child.directory);
  {
    StandardOutputLock lock;
    g.children.erase(std::remove(g.children.begin(), g.children.end(), &child), g.children.end());
  }
  WaitForChild(child.process);
  StandardOutputLock lock;
  if (state == FrameState::Complete) {
    if (!system.finished) {
      system.end = measured.end;
      system.rows = std::move(measured.rows);
      system.finished = true;
    }
    system.handler = std::move(measured.handler);
    system.handlerAtClose = measured.handlerAtClose;
    // What the close added; the rest may be out already.
    for (size_t i = filesTaken; i < measured.libraryFiles.size(); ++i) {
      system.libraryFiles.push_back(measured.libraryFiles[i]);
    }
    if (!parametersTaken && measured.parameterCopy) system.parameterCopy = measured.parameterCopy;
  } else {
    NoOutcomeLocked(system, "no outcome");
  }
  system.done = true;
  WakeWaitersLocked();
}

void EndChildrenLocked(GroupRun& g) {
  // Their workers may still read their pipes: the handles stay open until
  // the process ends, right after.
  for (RunningChild* child : g.children) {
    KillChild(child->process);
    RemoveDirectoryTree(child->directory);
  }
  g.children.clear();
}

void KeepLibraryFiles(SystemOutcome& system) {
  // Where the library itself would have written its trace.
  const std::string traceDirectory = DirectoryPrefix(EnvironmentValue("RFC_TRACE_DIR"));
  for (const auto& file : system.libraryFiles) {
    if (FilePtr trace = OpenForAppend(traceDirectory + file.first)) {
      std::fwrite(file.second.data(), 1, file.second.size(), trace.get());
    }
  }
  if (system.parameterCopy) {
    if (FilePtr copy = OpenForWrite(kParameterCopy)) {
      std::fwrite(system.parameterCopy->data(), 1, system.parameterCopy->size(), copy.get());
    }
  }
  system.libraryFiles.clear();
  system.parameterCopy.reset();
}

}  // namespace fennick
