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
// the system becomes visible to the workers once it is Waiting.
void ReadListedSystem(GroupRun& g, SystemOutcome& system) {
  RunState& rs = g.rs;
  FilePtr profile = OpenProgramFile(rs.switches.driveRoot, rs.run.profileDirectory + system.profileName);
  if (profile) {
    SystemEntry entry;
    system.entryStatus = ReadListedProfileEntry(profile.get(), rs.key, entry);
    system.systemLabel = SystemLabel(rs.listing.labelKind, system.profileName, entry);
    system.request = LogonFor(rs.switches, entry);
  }
  RunLock lock;
  system.profileMissing = !profile;
  // Nothing to measure for a profile that is not there.
  system.stage = system.profileMissing ? SystemStage::Measured : SystemStage::Waiting;
  system.closed = system.profileMissing;
  WakeWaitersLocked();
}

// The next system to measure, in listing order; null when there is none
// left. Waits while the main road is still reading profiles.
SystemOutcome* TakeNextLocked(GroupRun& g) {
  for (;;) {
    while (g.nextToTake < g.systems.size() && g.systems[g.nextToTake]->stage != SystemStage::Listed) {
      SystemOutcome& system = *g.systems[g.nextToTake++];
      if (system.stage != SystemStage::Waiting) continue;  // a profile that is not there
      system.stage = SystemStage::Measuring;
      return &system;
    }
    if (g.allRead || g.nextToTake == g.systems.size()) return nullptr;
    WaitLocked();
  }
}

// The library's private files of this process, for what the main road
// measures itself.
void OpenMainRoadWorkspace(GroupRun& g) {
  if (g.workspaceOpen) return;
  OpenWorkspace(g.rs.rfc, g.rs.switches.consoleReport);
  RunLock lock;
  g.workspaceOpen = true;
}

// Measures a system in this process: released as soon as it is measured,
// then closed. False when it ended the run (Error 1018).
bool MeasureOnMainRoad(GroupRun& g, SystemOutcome& system) {
  const RfcBackend& rfc = g.rs.rfc;
  OpenMainRoadWorkspace(g);
  {
    RunLock lock;
    g.onMainRoad = &system;
  }
  MeasureSystem(rfc, system, false);
  bool going = true;
  {
    // Released before its close, as a run one system at a time always was;
    // the library's files, close included, are published right after it.
    RunLock lock;
    system.stage = SystemStage::Measured;
    system.closed = true;
    going = AdvanceLocked(g, false);
  }
  CloseSystem(rfc, system);
  RunLock lock;
  g.onMainRoad = nullptr;
  TakeLibraryFilesLocked(rfc, system);
  PublishFilesLocked(rfc, system, g.rs.switches.consoleReport);
  return going;
}

// No child could measure the system: fewer are measured at once, and the
// main road measures this one itself, one at a time. The console report
// and the trace say so. The caller holds the run's lock.
void HandBackLocked(GroupRun& g, SystemOutcome& system, const std::string& why) {
  system.work.steps.push_back(RfcStep{false, "measuring process not started", why});
  if (g.rs.switches.consoleReport) {
    system.work.consoleLines.push_back(NoteLine(system.profileName + ": " + why + ", measured in the probe itself"));
  }
  system.stage = SystemStage::Waiting;
  system.inProcess = true;
  g.handedBack.push_back(&system);
  WakeWaitersLocked();
}

// A worker with nothing more to do waits for the process to end rather than
// end itself: a thread ending while the process ends brings Wine down.
// The caller holds the run's lock.
[[noreturn]] void ParkLocked(GroupRun& g) {
  --g.busyWorkers;
  WakeWaitersLocked();
  for (;;) WaitLocked();
}

// A worker of the pool: measures one system after the other, each on a
// connection of its own that no other thread touches, and closes it once
// its outcome is handed over, so a close that hangs holds nothing back. For
// a library that cannot be used from threads, each system is measured in a
// child process, which the worker starts and waits for.
void Worker(void* argument) {
  GroupRun& g = *static_cast<GroupRun*>(argument);
  for (;;) {
    SystemOutcome* system = nullptr;
    {
      RunLock lock;
      system = TakeNextLocked(g);
      if (!system) ParkLocked(g);
    }
    if (g.inChildren) {
      std::string why;
      if (MeasureInChild(g.children, *system, why)) continue;
      RunLock lock;
      HandBackLocked(g, *system, why);
      ParkLocked(g);
    }
    MeasureSystem(g.rs.rfc, *system, false);
    {
      // A library used from threads has no handler and leaves no files to
      // wait for at its close: the system is done with its outcome.
      RunLock lock;
      system->stage = SystemStage::Measured;
      system->closed = true;
      WakeWaitersLocked();
    }
    CloseSystem(g.rs.rfc, *system);
  }
}

// Starts up to `count` workers; how many started.
int StartWorkers(GroupRun& g, int count) {
  int started = 0;
  for (; started < count; ++started) {
    {
      RunLock lock;
      ++g.busyWorkers;
    }
    if (!StartDetachedThread(Worker, &g)) {
      RunLock lock;
      --g.busyWorkers;
      break;
    }
  }
  return started;
}

// The run leaves its road: its private files go, and while workers may
// still be in a library call, the process ends without them.
int LeaveLocked(GroupRun& g) {
  if (g.busyWorkers > 0) EndGroupProcessLocked(g, g.exitCode);
  if (g.workspaceOpen) CloseWorkspace(g.rs.rfc);
  return g.exitCode;
}

// One system after the other on the main road: the library is used from
// this thread alone.
int MeasureOneByOne(GroupRun& g) {
  for (std::unique_ptr<SystemOutcome>& entry : g.systems) {
    SystemOutcome& system = *entry;
    ReadListedSystem(g, system);
    bool going = true;
    if (system.profileMissing) {
      RunLock lock;
      going = AdvanceLocked(g, false);
    } else {
      {
        RunLock lock;
        system.stage = SystemStage::Measuring;
      }
      going = MeasureOnMainRoad(g, system);
    }
    if (!going) {
      RunLock lock;
      return LeaveLocked(g);
    }
  }
  RunLock lock;
  WriteSummaryLocked(g, std::string(), false);
  return LeaveLocked(g);
}

// What the main road measures itself: what no child could, and everything
// left once no worker is.
SystemOutcome* NextForMainRoadLocked(GroupRun& g) {
  if (!g.handedBack.empty()) {
    SystemOutcome* system = g.handedBack.front();
    g.handedBack.erase(g.handedBack.begin());
    system->stage = SystemStage::Measuring;
    return system;
  }
  return g.busyWorkers == 0 ? TakeNextLocked(g) : nullptr;
}

// Several systems at once on a pool of workers; the main road reads the
// profiles and releases the outcomes in listing order.
int MeasureSideBySide(GroupRun& g) {
  for (std::unique_ptr<SystemOutcome>& system : g.systems) ReadListedSystem(g, *system);
  {
    RunLock lock;
    g.allRead = true;
    WakeWaitersLocked();
  }
  for (;;) {
    SystemOutcome* system = nullptr;
    {
      RunLock lock;
      for (;;) {
        // Error 1018: the calls still in flight are not waited for.
        if (!AdvanceLocked(g, false)) return LeaveLocked(g);
        if (AllDoneLocked(g)) {
          WriteSummaryLocked(g, std::string(), false);
          return LeaveLocked(g);
        }
        system = NextForMainRoadLocked(g);
        if (system) break;
        WaitLocked();
      }
    }
    if (!MeasureOnMainRoad(g, *system)) {
      RunLock lock;
      return LeaveLocked(g);
    }
  }
}

// The budget's end reads it from its own thread.
void SetInChildren(GroupRun& g, bool inChildren) {
  RunLock lock;
  g.inChildren = inChildren;
}

// The listing's systems, and the run's two outside ends.
GroupRun& PrepareGroup(RunState& rs) {
  // Never freed: the timer, the handler and the workers may still look at
  // it while the process ends.
  GroupRun& g = *new GroupRun(rs);
  g.rules = RulesOf(rs.switches);
  g.children.program = rs.programPath;
  for (std::string list = rs.listing.systemList; !list.empty();) {
    g.systems.push_back(std::make_unique<SystemOutcome>());
    g.systems.back()->profileName = TakeNextSystem(list);
    if (rs.daysLeft) g.systems.back()->daysLeftPlan = &*rs.daysLeft;
  }
  WatchRun(RunEndHooks{&g, AtGroupBudget, AtGroupHandler});
  if (BudgetSeconds(rs.switches) > 0) ArmTimeBudget(BudgetSeconds(rs.switches), rs.startMilliseconds);
  return g;
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
  GroupRun& g = PrepareGroup(rs);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, *failure);
  RouteHandlerReports();
  {
    RunLock lock;
    OpenDocumentLocked(g);
  }
  const int wanted = static_cast<int>(std::min<size_t>(static_cast<size_t>(ParallelOf(rs.switches)), g.systems.size()));
  if (wanted > 1) {
    g.children.backend = rs.rfc.ops->name;
    SetInChildren(g, !rs.rfc.ops->threadSafe);
    // What runs killed before their children could clean up left behind.
    if (g.inChildren) SweepOrphanedDirectories();
    if (StartWorkers(g, wanted) > 0) return MeasureSideBySide(g);
    SetInChildren(g, false);
  }
  return MeasureOneByOne(g);
}

}  // namespace fennick
