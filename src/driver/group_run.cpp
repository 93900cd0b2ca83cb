#include "driver/group_run.h"

#include "driver/console_lines.h"
#include "driver/run.h"
#include "driver/run_ends.h"
#include "driver/run_state.h"
#include "driver/run_steps.h"
#include "driver/work_lines.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/standard_output.h"
#include "platform/threads.h"
#include "platform/timer.h"
#include "profile/connection_entry.h"
#include "profile/profile_lookup.h"
#include "profile/sensor_listing.h"

namespace fennick {

namespace {

std::string ListedPath(const GroupRun& g, const std::string& profileName) {
  return g.rs.run.profileDirectory + profileName;
}

// Reads a listed profile. Only the main road reads them, in listing order;
// the system becomes visible to the workers once `read` is set.
void ReadListedSystem(GroupRun& g, SystemOutcome& system) {
  RunState& rs = g.rs;
  FilePtr profile = OpenProgramFile(rs.driveRoot, ListedPath(g, system.profileName));
  if (profile) {
    SystemEntry entry;
    system.entryStatus = ReadListedProfileEntry(profile.get(), rs.key, entry);
    system.systemLabel = SystemLabel(rs.listing.labelKind, system.profileName, entry);
    system.request = LogonFor(rs, entry);
  }
  StandardOutputLock lock;
  system.profileMissing = !profile;
  system.finished = system.done = system.profileMissing;  // nothing to measure
  system.read = true;
  WakeWaitersLocked();
}

// The system's trace and console lines; it gets its connection number here,
// so the numbers follow the listing whatever order the work was done in.
void ReleaseWorkLocked(GroupRun& g, const SystemOutcome& system) {
  const long number = UsedConnection(system.work) ? ++g.connectionNumbers : 0;
  WriteStepsLocked(g.rs.trace, system.work, 0, number);
  PrintConsoleLinesLocked(system.work, 0);
}

// The process ends early: the children still at work end with it.
[[noreturn]] void EndGroupProcess(GroupRun& g, int exitCode) {
  EndChildrenLocked(g);
  FlushStandardOutputLocked();
  EndProcessNow(exitCode);
}

[[noreturn]] void EndWithHandlerReportLocked(GroupRun& g, const HandlerReport& report) {
  ResultWriter& writer = g.rs.writer;
  WriteHandlerReport(writer, report, g.documentOpen);
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, 1);
  MarkFinishedLocked(exitCode);
  EndGroupProcess(g, exitCode);
}

// Puts a finished system into the output: its lines, its channel, its
// count and its state. False when it ended the run (Error 1018).
bool ReleaseLocked(GroupRun& g, SystemOutcome& system) {
  RunState& rs = g.rs;
  ResultWriter& writer = rs.writer;
  if (system.profileMissing) {
    ++g.missing;
    if (rs.consoleReport) PrintTextLocked(MissingProfileLine(system.profileName));
    return true;
  }
  ReleaseWorkLocked(g, system);
  KeepLibraryFiles(system);
  if (system.handler && !system.handlerAtClose) EndWithHandlerReportLocked(g, *system.handler);
  if (system.end == SystemEnd::NotOracle) {
    // The error closes the open document, so the monitor still reads one.
    WriteErrorEnd(writer, "Error 1018: DataBase mismatch !");
    PrintMessageBufferLocked(writer);
    g.exitCode = ExitCodeFor(writer, 2);
    MarkFinishedLocked(g.exitCode);
    return false;
  }
  if (system.end == SystemEnd::Measured) {
    WriteItemChannels(writer, system.rows, rs.run.itemName, system.systemLabel, g.unit);
    PrintMessageBufferLocked(writer);
  }
  if (IsProcessed(system)) {
    ++g.processed;
  } else {
    WriteSystemState(writer, system.systemLabel, SystemState(system));
  }
  if (rs.consoleReport) {
    PrintTextLocked("\n" + SystemLine(system.request.entry, system.profileName) + " State=" + SystemState(system) +
                    "\n");
  }
  return true;
}

// After a released system's close: the files its child left, and a report
// of the library's handler at the close, which ends the run.
void CompleteLocked(GroupRun& g, SystemOutcome& system) {
  KeepLibraryFiles(system);
  if (system.handler) EndWithHandlerReportLocked(g, *system.handler);
}

// Releases every system whose turn has come: a system is released once it
// has finished and every system before it is done, so what a close brings
// stays in listing order. False when one ended the run.
bool ReleaseReadyLocked(GroupRun& g) {
  for (;;) {
    if (g.nextToComplete < g.nextToRelease) {
      SystemOutcome& released = *g.systems[g.nextToComplete];
      if (!released.done) return true;
      ++g.nextToComplete;
      CompleteLocked(g, released);
      continue;
    }
    if (g.nextToRelease == g.systems.size()) return true;
    SystemOutcome& system = *g.systems[g.nextToRelease];
    if (!system.finished) return true;
    ++g.nextToRelease;
    if (!ReleaseLocked(g, system)) return false;
  }
}

bool AllDoneLocked(const GroupRun& g) { return g.nextToComplete == g.systems.size(); }

// The summary line that closes the document, and the closing console line:
// the run's last bytes.
void WriteSummaryLocked(GroupRun& g, const std::string& tail, bool cutOff) {
  RunState& rs = g.rs;
  ResultWriter& writer = rs.writer;
  const unsigned failed = static_cast<unsigned>(g.systems.size()) - g.processed - g.missing;
  EndGroupDocument(writer,
                   "(***) " + rs.run.itemName + ": NoSystems=" + std::to_string(g.systems.size()) +
                       ", Processed=" + std::to_string(g.processed) + ", Failed=" + std::to_string(failed) + tail,
                   failed > 0 || cutOff);
  PrintMessageBufferLocked(writer);
  if (rs.consoleReport) PrintTextLocked(ClosingLine());
  g.exitCode = ExitCodeFor(writer, 0);
  MarkFinishedLocked(g.exitCode);
}

void OpenDocument(GroupRun& g) {
  RunState& rs = g.rs;
  StandardOutputLock lock;
  if (rs.consoleReport) {
    PrintTextLocked(rs.banner + "\n");
    PrintTextLocked("* " + rs.startTime + " " + ShownItemParameters(rs.run.parameterText) + " State=Executing\n");
  }
  BeginGroupDocument(rs.writer);
  PrintMessageBufferLocked(rs.writer);
  g.documentOpen = true;
}

// The next system to measure, in listing order; null when there is none
// left. Waits while the main road is still reading profiles.
SystemOutcome* TakeNextLocked(GroupRun& g) {
  for (;;) {
    while (g.nextToMeasure < g.systems.size() && g.systems[g.nextToMeasure]->read) {
      SystemOutcome& system = *g.systems[g.nextToMeasure++];
      if (system.profileMissing) continue;
      return &system;
    }
    if (g.allRead) return nullptr;
    WaitLocked();
  }
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
      StandardOutputLock lock;
      system = TakeNextLocked(g);
      if (!system) {
        --g.busyWorkers;
        WakeWaitersLocked();
        return;
      }
    }
    if (g.inChildren) {
      MeasureInChild(g, *system);
      continue;
    }
    MeasureSystem(g.rs.rfc, *system);
    {
      StandardOutputLock lock;
      system->finished = system->done = true;
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
      StandardOutputLock lock;
      ++g.busyWorkers;
    }
    if (!StartDetachedThread(Worker, &g)) {
      StandardOutputLock lock;
      --g.busyWorkers;
      break;
    }
  }
  return started;
}

// The summary closes a run whose systems are all released. Workers may
// still be closing connections: the process then ends without them.
int CloseRunLocked(GroupRun& g) {
  WriteSummaryLocked(g, std::string(), false);
  if (g.busyWorkers > 0) EndGroupProcess(g, g.exitCode);
  return g.exitCode;
}

// One system after the other on the main road: the library is used from
// this thread alone.
int MeasureOneByOne(GroupRun& g) {
  for (std::unique_ptr<SystemOutcome>& entry : g.systems) {
    SystemOutcome& system = *entry;
    ReadListedSystem(g, system);
    if (!system.profileMissing) MeasureSystem(g.rs.rfc, system);
    bool going = true;
    {
      StandardOutputLock lock;
      system.finished = system.done = true;
      going = ReleaseReadyLocked(g);
    }
    if (!system.profileMissing) CloseSystem(g.rs.rfc, system);
    if (!going) return g.exitCode;
  }
  StandardOutputLock lock;
  return CloseRunLocked(g);
}

// Several systems at once on a pool of workers; the main road reads the
// profiles and releases the outcomes in listing order.
int MeasureSideBySide(GroupRun& g) {
  for (std::unique_ptr<SystemOutcome>& system : g.systems) ReadListedSystem(g, *system);
  StandardOutputLock lock;
  g.allRead = true;
  WakeWaitersLocked();
  for (;;) {
    if (!ReleaseReadyLocked(g)) {
      // Error 1018: the calls still in flight are not waited for.
      if (g.busyWorkers > 0) EndGroupProcess(g, g.exitCode);
      return g.exitCode;
    }
    if (AllDoneLocked(g)) return CloseRunLocked(g);
    WaitLocked();
  }
}

}  // namespace

int RunItems(RunState& rs) {
  rs.profileFile.reset();  // the listing is opened afresh
  if (Failure failure = ReadSensorListing(rs.run, rs.driveRoot, rs.listing)) {
    return EndWithError(rs, failure->message);
  }
  if (Failure failure = ReadRunKeywords(rs)) return EndWithError(rs, failure->message);
  // Never freed: the timer, the handler and the workers may still look at
  // it while the process ends.
  GroupRun& g = *new GroupRun(rs);
  g.unit = ChannelUnitOf(rs.run.parameterString);
  for (std::string list = rs.listing.systemList; !list.empty();) {
    g.systems.push_back(std::make_unique<SystemOutcome>());
    g.systems.back()->profileName = TakeNextSystem(list);
  }
  WatchGroupRun(&g);
  if (rs.budgetSeconds > 0) ArmTimeBudget(rs.budgetSeconds, rs.startMilliseconds);
  if (Failure failure = BindLibrary(rs)) return EndWithError(rs, failure->message);
  RouteHandlerReports();
  OpenDocument(g);

  const int wanted = static_cast<int>(std::min<size_t>(static_cast<size_t>(rs.parallel), g.systems.size()));
  if (wanted > 1) {
    g.inChildren = !rs.rfc.ops->threadSafe;
    if (StartWorkers(g, wanted) > 0) return MeasureSideBySide(g);
    g.inChildren = false;
  }
  return MeasureOneByOne(g);
}

void EndGroupAtBudgetLocked(GroupRun& g, int budgetSeconds) {
  RunState& rs = g.rs;
  if (!g.documentOpen) {
    BeginGroupDocument(rs.writer);
    PrintMessageBufferLocked(rs.writer);
    g.documentOpen = true;
  }
  // What has finished is released in listing order; what has not is cut
  // off. A close still going on is not waited for.
  for (; g.nextToComplete < g.nextToRelease; ++g.nextToComplete) {
    SystemOutcome& released = *g.systems[g.nextToComplete];
    if (released.done) CompleteLocked(g, released);
  }
  for (; g.nextToRelease < g.systems.size(); ++g.nextToRelease) {
    SystemOutcome& system = *g.systems[g.nextToRelease];
    if (system.finished) {
      if (!ReleaseLocked(g, system)) EndGroupProcess(g, g.exitCode);
      if (system.done) CompleteLocked(g, system);
      continue;
    }
    if (!system.read) {
      // Not reached yet: looked up, not logged on to.
      if (!FileExists(NativePath(ListedPath(g, system.profileName), rs.driveRoot))) ++g.missing;
      continue;
    }
    ReleaseWorkLocked(g, system);
    WriteSystemState(rs.writer, system.systemLabel, "Timeout");
    if (rs.consoleReport) {
      PrintTextLocked("\n" + SystemLine(system.request.entry, system.profileName) + " State=Timeout\n");
    }
  }
  traceLineLocked(rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  WriteSummaryLocked(g, " (Timeout after " + std::to_string(budgetSeconds) + " s)", true);
  EndGroupProcess(g, g.exitCode);
}

void EndGroupWithHandlerLocked(GroupRun& g, const HandlerReport& report) {
  // The library is in this process only on the one-by-one road: the system
  // at the front is the one being measured, or was just released and is
  // being closed.
  if (g.nextToRelease < g.systems.size()) {
    SystemOutcome& system = *g.systems[g.nextToRelease];
    if (system.read && !system.finished) ReleaseWorkLocked(g, system);
  }
  EndWithHandlerReportLocked(g, report);
}

}  // namespace fennick
