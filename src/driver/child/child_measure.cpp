#include "driver/child/child_measure.h"

#include <algorithm>

#include "driver/child/child_main.h"
#include "driver/child/outcome_frame.h"
#include "driver/days_left.h"
#include "driver/group_plan.h"
#include "driver/measure.h"
#include "platform/run_lock.h"

namespace fennick {

namespace {

// A child started and known to the run, so that an early end finds it.
bool StartChild(ChildRoad& road, const SystemOutcome& system, RunningChild& child, std::string& why) {
  // Started outside the run's lock: a start must not hold back the release
  // of other systems. An early end waits for a start under way at most.
  {
    MutexLock start(road.startMutex);
    if (road.closed) {
      why = "the run is ending";
      return false;
    }
    if (!StartChildProcess(road.program, {{kMeasuringChildMarker, "1"}}, child.process)) {
      why = "no measuring process could be started";
      return false;
    }
    road.starting.push_back(&child);
  }
  ChildRequest request;
  request.request = system.request;
  request.backend = road.backend;
  const std::string frame = EncodeChildRequest(request);
  WriteToChild(child.process, std::to_string(frame.size()) + "\n" + frame);
  RunLock lock;
  road.running.push_back(&child);
  MutexLock start(road.startMutex);
  road.starting.erase(std::remove(road.starting.begin(), road.starting.end(), &child), road.starting.end());
  return true;
}

// The measurement, as soon as it is there: the system may be released while
// the child closes.
void MergeMeasuredLocked(SystemOutcome& system, ChildNews& news) REQUIRES(theRunLock) {
  const SystemOutcome& measured = news.outcome;
  system.end = measured.end;
  system.failedStep = measured.failedStep;
  system.reason = measured.reason;
  system.reasonKnown = measured.reasonKnown;
  system.rows = measured.rows;
  system.daysLeft = measured.daysLeft;
  system.files.Add(measured.files);
  news.outcome.files = LibraryFiles();
}

// The steps and console lines the child sent since the last read.
void TakeWorkLocked(const ChildNews& news, SystemOutcome& system) REQUIRES(theRunLock) {
  const RfcWork& sent = news.outcome.work;
  for (size_t i = news.stepsAt; i < sent.steps.size(); ++i) system.work.steps.push_back(sent.steps[i]);
  for (size_t i = news.consoleLinesAt; i < sent.consoleLines.size(); ++i) {
    system.work.consoleLines.push_back(sent.consoleLines[i]);
  }
}

// The history of what the child measured is kept here, on this worker,
// beside the other children, as soon as the measurement is there.
void ForecastMeasured(const SystemOutcome& system, FrameState state, SystemOutcome& measured, RfcWork& work) {
  if (!system.daysLeftPlan || (state != FrameState::Measured && state != FrameState::Complete)) return;
  if (measured.end != SystemEnd::Measured || !measured.daysLeft.empty()) return;
  measured.daysLeft = ForecastDaysLeft(*system.daysLeftPlan, system.request, measured.rows, work);
}

// Reads what the child sends until it ends or its frame does; `measured`
// once its measurement is merged and the plan has it.
FrameState ReadChild(RunningChild& child, GroupPlan& plan, SystemOutcome& system, ChildNews& news, bool& measured) {
  OutcomeDecoder decoder;
  FrameState state = FrameState::Incomplete;
  std::string bytes;
  while ((state == FrameState::Incomplete || state == FrameState::Measured) && ReadFromChild(child.process, bytes)) {
    state = decoder.Feed(bytes, news);
    bytes.clear();
    ForecastMeasured(system, state, news.outcome, system.work);
    RunLock lock;
    if (child.workspace.empty()) child.workspace = news.workspace;
    TakeWorkLocked(news, system);
    if (state == FrameState::Measured && !measured) {
      MergeMeasuredLocked(system, news);
      plan.Measured(system);
      measured = true;
    }
  }
  return state;
}

// The child leaves the run. It removes its workspace itself; what one that
// died left goes once it has ended (two removing one folder at once can
// each make the other fail on Windows), and before it leaves the run's
// list, so that an early end cannot miss it. It is reaped only after, so
// that its process id stays its own while an early end may still kill it.
void Leave(ChildRoad& road, RunningChild& child) {
  AwaitChildEnd(child.process);
  RemoveDirectoryTree(child.workspace);
  {
    RunLock lock;
    road.running.erase(std::remove(road.running.begin(), road.running.end(), &child), road.running.end());
  }
  WaitForChild(child.process);
}

// What the close brought, or a child that never told its outcome: a
// system not reached.
void MergeEndLocked(GroupPlan& plan, SystemOutcome& system, FrameState state, ChildNews& news, bool measured)
    REQUIRES(theRunLock) {
  if (state != FrameState::Complete) {
    system.work.steps.push_back(RfcStep{false, "measuring process failed", "no outcome"});
    if (!measured) {
      system.end = SystemEnd::LogonFailed;
      system.rows.clear();
    }
  } else if (!measured) {
    MergeMeasuredLocked(system, news);
  }
  system.handler = news.outcome.handler;
  system.handlerAtClose = news.outcome.handlerAtClose;
  system.files.Add(news.outcome.files);
  if (!measured) plan.Measured(system);
  plan.Closed(system);
}

}  // namespace

bool MeasureInChild(ChildRoad& road, GroupPlan& plan, SystemOutcome& system, std::string& why) {
  RunningChild child;
  if (!StartChild(road, system, child, why)) return false;
  ChildNews news;
  bool measured = false;
  const FrameState state = ReadChild(child, plan, system, news, measured);
  Leave(road, child);
  if (!news.started || !news.refused.empty()) {
    // It could not set up: nothing of the system was measured.
    why = news.refused.empty() ? "the measuring process ended at once" : news.refused;
    return false;
  }
  RunLock lock;
  MergeEndLocked(plan, system, state, news, measured);
  return true;
}

void EndChildrenLocked(ChildRoad& road) {
  MutexLock start(road.startMutex);
  road.closed = true;
  // Their workers may still read their pipes: the handles stay open until
  // the process ends, right after.
  for (RunningChild* child : road.starting) KillChild(child->process);
  road.starting.clear();
  for (RunningChild* child : road.running) {
    KillChild(child->process);
    RemoveDirectoryTree(child->workspace);
  }
  road.running.clear();
}

}  // namespace fennick
