#include "driver/group_run.h"

#include <algorithm>

#include "driver/console.h"
#include "driver/group_release.h"
#include "driver/run.h"
#include "driver/run_end.h"
#include "driver/run_state.h"
#include "driver/start_up.h"
#include "driver/workspace.h"
#include "platform/child_process.h"
#include "platform/run_lock.h"
#include "platform/threads.h"
#include "profile/connection_entry.h"
#include "profile/profile_lookup.h"
#include "profile/sensor_listing.h"
#include "rfc/backend.h"

namespace fennick {

namespace {

// Reads a listed profile. Only the main road reads them, in listing order;
// the plan then hands the system to whoever measures it.
void ReadListedSystem(GroupRun& g, size_t index) {
  RunState& rs = g.rs;
  SystemOutcome& system = g.plan.System(index);
  FilePtr profile = OpenProgramFile(rs.switches.driveRoot, rs.run.profileDirectory + system.profileName);
  if (profile) {
    SystemEntry entry;
    system.entryStatus = ReadListedProfileEntry(profile.get(), rs.key, entry);
    system.systemLabel = SystemLabel(rs.listing.labelKind, system.profileName, entry);
    system.request = LogonFor(rs.switches, entry, rs.run.profileDirectory);
  }
  g.plan.Read(index, !profile);
}

// The library's private files of this process, for what the main road
// measures itself.
void OpenMainRoadWorkspace(GroupRun& g) {
  {
    RunLock lock;
    if (g.out.workspaceOpen) return;
  }
  OpenWorkspace(g.rs.rfc, g.rs.switches.consoleReport, [&g] {
    RunLockIsHeld();
    g.out.workspaceOpen = true;
  });
}

// Measures a system the main road took: released as soon as it is measured,
// then closed. False when it ended the run (Error 1018).
bool MeasureOnMainRoad(GroupRun& g, SystemOutcome& system) {
  const RfcBackend& rfc = g.rs.rfc;
  OpenMainRoadWorkspace(g);
  MeasureSystem(rfc, system, false);
  bool going = true;
  {
    // Released before its close, as a run one system at a time always was;
    // the library's files, close included, are published right after it.
    RunLock lock;
    g.plan.Measured(system);
    g.plan.Closed(system);
    going = ReleaseDueLocked(g, false);
  }
  CloseSystem(rfc, system);
  g.plan.OffMainRoad();
  RunLock lock;
  TakeLibraryFilesLocked(rfc, system);
  PublishFilesLocked(rfc, system, g.rs.switches.consoleReport);
  return going;
}

// No child could measure the system: the main road measures it itself, one
// at a time. The console report and the trace say so.
void HandBack(GroupRun& g, SystemOutcome& system, const std::string& why) {
  {
    RunLock lock;
    system.work.steps.push_back(RfcStep{false, "measuring process not started", why});
    if (g.rs.switches.consoleReport) {
      system.work.consoleLines.push_back(NoteLine(system.profileName + ": " + why + ", measured in the probe itself"));
    }
  }
  g.plan.HandBack(system);
}

// A worker of the pool: measures one system after the other, each on a
// connection of its own that no other thread touches, and closes it once
// its outcome is handed over, so a close that hangs holds nothing back. For
// a library that cannot be used from threads, each system is measured in a
// child process, which the worker starts and waits for. A worker with
// nothing more to do parks until the process ends.
void Worker(void* argument) {
  GroupRun& g = *static_cast<GroupRun*>(argument);
  for (;;) {
    SystemOutcome* system = g.plan.Take();
    if (!system) ParkThisThread();
    if (g.inChildren) {
      std::string why;
      if (MeasureInChild(g.children, g.plan, *system, why)) continue;
      HandBack(g, *system, why);
      ParkThisThread();
    }
    MeasureSystem(g.rs.rfc, *system, false);
    // A library used from threads has no handler and leaves no files to
    // wait for at its close: the system is done with its outcome.
    g.plan.Measured(*system);
    g.plan.Closed(*system);
    CloseSystem(g.rs.rfc, *system);
  }
}

// Starts up to `count` workers; how many started.
int StartWorkers(GroupRun& g, int count) {
  int started = 0;
  for (; started < count; ++started) {
    g.plan.WorkerStarting();
    if (!StartDetachedThread(Worker, &g)) {
      g.plan.WorkerStopped();
      break;
    }
  }
  return started;
}

// The run leaves its road: its private files go, and while workers may
// still be in a library call, the process ends without them.
int LeaveLocked(GroupRun& g) REQUIRES(theRunLock) {
  if (g.plan.BusyWorkers() > 0) EndGroupProcessLocked(g, g.out.exitCode);
  if (g.out.workspaceOpen) CloseWorkspace(g.rs.rfc);
  return g.out.exitCode;
}

int Leave(GroupRun& g) {
  RunLock lock;
  return LeaveLocked(g);
}

// One system after the other on the main road: the library is used from
// this thread alone.
int MeasureOneByOne(GroupRun& g) {
  for (size_t i = 0; i < g.plan.Size(); ++i) {
    ReadListedSystem(g, i);
    SystemOutcome* system = g.plan.TakeOnMainRoad();
    bool going = true;
    if (!system) {  // a profile that is not there
      RunLock lock;
      going = ReleaseDueLocked(g, false);
    } else {
      going = MeasureOnMainRoad(g, *system);
    }
    if (!going) return Leave(g);
  }
  RunLock lock;
  WriteSummaryLocked(g, std::string(), false);
  return LeaveLocked(g);
}

// Several systems at once on a pool of workers; the main road reads the
// profiles, releases the outcomes in listing order, and measures itself
// what no child could, and everything left once no worker is.
int MeasureSideBySide(GroupRun& g) {
  for (size_t i = 0; i < g.plan.Size(); ++i) ReadListedSystem(g, i);
  g.plan.AllRead();
  for (;;) {
    const uint64_t seen = g.plan.Version();
    SystemOutcome* system = nullptr;
    {
      RunLock lock;
      // Error 1018: the calls still in flight are not waited for.
      if (!ReleaseDueLocked(g, false)) return LeaveLocked(g);
      if (g.plan.AllDone()) {
        WriteSummaryLocked(g, std::string(), false);
        return LeaveLocked(g);
      }
      system = g.plan.TakeOnMainRoad();
    }
    if (!system) {
      g.plan.WaitForChange(seen);
    } else if (!MeasureOnMainRoad(g, *system)) {
      return Leave(g);
    }
  }
}

std::vector<std::string> ListedProfiles(std::string list) {
  std::vector<std::string> names;
  while (!list.empty()) names.push_back(TakeNextSystem(list));
  return names;
}

}  // namespace

int RunItems(RunState& rs) {
  rs.profileFile.reset();  // the listing is opened afresh
  const bool productProfile = rs.run.productProfile;
  if (Failure failure = ReadSensorListing(rs.run, rs.switches.driveRoot, productProfile, rs.listing)) {
    return EndWithError(rs, *failure);
  }
  if (!productProfile) ReadSensorKeywords(rs);
  if (Failure failure = SettleSwitches(rs)) return EndWithError(rs, *failure);
  GroupRun g(rs, ListedProfiles(rs.listing.systemList));
  g.rules = RulesOf(rs.switches);
  g.children.program = rs.programPath;
  if (rs.daysLeft) {
    for (size_t i = 0; i < g.plan.Size(); ++i) g.plan.System(i).daysLeftPlan = &*rs.daysLeft;
  }
  WatchedRun watched([&g](const OutsideEnd& end) {
    RunLockIsHeld();
    EndGroupFromOutsideLocked(g, end);
  });
  if (BudgetSeconds(rs.switches) > 0) ArmTimeBudget(BudgetSeconds(rs.switches), rs.startMilliseconds);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, *failure);
  RouteHandlerReports();
  {
    RunLock lock;
    OpenDocumentLocked(g);
  }
  const int wanted = static_cast<int>(std::min<size_t>(static_cast<size_t>(ParallelOf(rs.switches)), g.plan.Size()));
  if (wanted > 1) {
    g.children.backend = rs.rfc.ops->name;
    g.inChildren = !rs.rfc.ops->threadSafe;
    // What runs killed before their children could clean up left behind.
    if (g.inChildren) SweepOrphanedDirectories();
    if (StartWorkers(g, wanted) > 0) return MeasureSideBySide(g);
    g.inChildren = false;
  }
  return MeasureOneByOne(g);
}

}  // namespace fennick
