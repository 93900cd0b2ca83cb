#include "driver/group_release.h"

#include "driver/console.h"
#include "driver/group_run.h"
#include "driver/run_end.h"
#include "driver/run_state.h"
#include "driver/workspace.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/run_lock.h"

namespace fennick {

namespace {

// The system's trace and console lines; it gets its connection number here,
// so the numbers follow the listing whatever order the work was done in.
void ReleaseWorkLocked(GroupRun& g, const SystemOutcome& system) {
  const long number = UsedConnection(system.work) ? ++g.connectionNumbers : 0;
  WriteStepsLocked(g.rs.trace, system.work, 0, number);
  PrintConsoleLinesLocked(system.work, 0);
}

void PrintStateLineLocked(const GroupRun& g, const SystemOutcome& system, const std::string& state) {
  if (!g.rs.switches.consoleReport) return;
  PrintTextLocked("\n" + SystemLine(system.request.entry, system.profileName) + " State=" + state + "\n");
}

// A system that gave no channel: the forms that list them get it, and the
// summary names it.
void NoteUnmeasuredLocked(GroupRun& g, const UnmeasuredSystem& system) {
  WriteSystemState(g.rs.writer, system);
  g.unmeasured.push_back(system);
}

UnmeasuredSystem Unmeasured(const std::string& label, const std::string& state, const std::string& profile) {
  UnmeasuredSystem system;
  system.label = label;
  system.state = state;
  system.profile = profile;
  return system;
}

// A system not processed: a failure, with the library's own words where it
// gave some (without the " - " that joins them to a message), or one whose
// table was empty.
void NoteFailedLocked(GroupRun& g, const SystemOutcome& system) {
  UnmeasuredSystem failed = Unmeasured(system.systemLabel, SystemState(system), system.profileName);
  failed.reason = system.reasonKnown && system.reason.size() > 3 ? system.reason.substr(3) : "";
  failed.measured = system.end == SystemEnd::Measured && system.entryStatus == '.';
  if (system.end != SystemEnd::Measured) failed.failure = OutcomeFailure(system);
  NoteUnmeasuredLocked(g, failed);
}

[[noreturn]] void EndWithHandlerReportLocked(GroupRun& g, const HandlerReport& report) {
  ResultWriter& writer = g.rs.writer;
  WriteHandlerReport(writer, report, g.documentOpen);
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, kExitHandlerReport);
  MarkFinishedLocked(exitCode);
  EndGroupProcessLocked(g, exitCode);
}

// Puts a measured system into the output: its lines, its files, its
// channel, its count and its state. False when it ended the run (Error 1018).
bool ReleaseLocked(GroupRun& g, SystemOutcome& system) {
  RunState& rs = g.rs;
  ResultWriter& writer = rs.writer;
  if (system.profileMissing) {
    ++g.missing;
    if (rs.switches.consoleReport) PrintTextLocked(MissingProfileLine(system.profileName));
    NoteUnmeasuredLocked(g, Unmeasured(system.profileName, "Profile missing", system.profileName));
    return true;
  }
  ReleaseWorkLocked(g, system);
  PublishFilesLocked(rs.rfc, system, rs.switches.consoleReport);
  if (system.handler && !system.handlerAtClose) EndWithHandlerReportLocked(g, *system.handler);
  if (system.end == SystemEnd::NotOracle) {
    // The error closes the open document, so the monitor still reads one.
    WriteErrorEnd(writer, OutcomeFailure(system));
    PrintMessageBufferLocked(writer);
    g.exitCode = ExitCodeFor(writer, kExitError);
    MarkFinishedLocked(g.exitCode);
    return false;
  }
  int channels = 0;
  if (system.end == SystemEnd::Measured) {
    channels = WriteItemChannels(writer, system.rows, rs.run.itemName, system.systemLabel, system.profileName, g.rules,
                                 system.daysLeft);
    PrintMessageBufferLocked(writer);
  }
  if (!IsProcessed(system)) {
    NoteFailedLocked(g, system);
  } else if (++g.processed && channels == 0) {
    // Its rows are there, but not the item's.
    UnmeasuredSystem without = Unmeasured(system.systemLabel, "no tablespace " + rs.run.itemName, system.profileName);
    without.measured = true;
    NoteUnmeasuredLocked(g, without);
  }
  PrintStateLineLocked(g, system, SystemState(system));
  return true;
}

// After a released system's close: the files it left then, and a report of
// the library's handler at the close, which ends the run.
void CompleteLocked(GroupRun& g, SystemOutcome& system) {
  PublishFilesLocked(g.rs.rfc, system, g.rs.switches.consoleReport);
  if (system.handler) EndWithHandlerReportLocked(g, *system.handler);
}

// A system the budget cut off: not reached (its profile looked up, not
// logged on to), or not measured yet.
void CutOffLocked(GroupRun& g, SystemOutcome& system) {
  RunState& rs = g.rs;
  if (system.stage == SystemStage::Listed) {
    const std::string path = NativePath(rs.run.profileDirectory + system.profileName, rs.switches.driveRoot);
    const bool missing = !FileExists(path);
    if (missing) ++g.missing;
    NoteUnmeasuredLocked(g,
                         Unmeasured(system.profileName, missing ? "Profile missing" : "Timeout", system.profileName));
    return;
  }
  ReleaseWorkLocked(g, system);
  if (&system == g.onMainRoad) {
    TakeLibraryFilesLocked(rs.rfc, system);
    PublishFilesLocked(rs.rfc, system, rs.switches.consoleReport);
  }
  NoteUnmeasuredLocked(g, Unmeasured(system.systemLabel, "Timeout", system.profileName));
  PrintStateLineLocked(g, system, "Timeout");
}

}  // namespace

void OpenDocumentLocked(GroupRun& g) {
  RunState& rs = g.rs;
  if (rs.switches.consoleReport) {
    PrintTextLocked(rs.banner + "\n");
    PrintTextLocked("* " + rs.startTime + " " + ShownItemParameters(rs.run.parameterText) + " State=Executing\n");
  }
  BeginGroupDocument(rs.writer);
  PrintMessageBufferLocked(rs.writer);
  g.documentOpen = true;
}

bool AdvanceLocked(GroupRun& g, bool cutOff) {
  for (; g.nextToAdvance < g.systems.size(); ++g.nextToAdvance) {
    SystemOutcome& system = *g.systems[g.nextToAdvance];
    if (system.stage == SystemStage::Measured) {
      system.stage = SystemStage::Released;
      if (!ReleaseLocked(g, system)) return false;
    }
    if (system.stage == SystemStage::Released) {
      if (system.closed) {
        system.stage = SystemStage::Done;
        CompleteLocked(g, system);
        continue;
      }
      if (cutOff) continue;  // a close still going on is not waited for
      return true;
    }
    if (system.stage == SystemStage::Done) continue;
    if (!cutOff) return true;
    CutOffLocked(g, system);
    system.stage = SystemStage::Done;
  }
  return true;
}

bool AllDoneLocked(const GroupRun& g) { return g.nextToAdvance == g.systems.size(); }

int WriteSummaryLocked(GroupRun& g, const std::string& tail, bool cutOff) {
  RunState& rs = g.rs;
  ResultWriter& writer = rs.writer;
  const unsigned failed = static_cast<unsigned>(g.systems.size()) - g.processed - g.missing;
  GroupSummary summary;
  summary.text = "(***) " + rs.run.itemName + ": NoSystems=" + std::to_string(g.systems.size()) +
                 ", Processed=" + std::to_string(g.processed) + ", Failed=" + std::to_string(failed) + tail +
                 GrowthNote(writer.growth);
  summary.atLeastWarning = failed > 0 || cutOff;
  summary.unmeasured = g.unmeasured;
  summary.itemName = rs.run.itemName;
  EndGroupDocument(writer, summary);
  PrintMessageBufferLocked(writer);
  if (rs.switches.consoleReport) PrintTextLocked(ClosingLine());
  g.exitCode = ExitCodeFor(writer, kExitSuccess);
  MarkFinishedLocked(g.exitCode);
  return g.exitCode;
}

void EndGroupProcessLocked(GroupRun& g, int exitCode) {
  EndChildrenLocked(g.children);
  // Children killed before they told their workspace leave it behind.
  if (g.inChildren) SweepOrphanedDirectories();
  if (g.workspaceOpen) CloseWorkspace(g.rs.rfc);
  EndProcessLocked(exitCode);
}

void AtGroupBudget(void* run, int budgetSeconds) {
  GroupRun& g = *static_cast<GroupRun*>(run);
  RunState& rs = g.rs;
  if (!g.documentOpen) {
    BeginGroupDocument(rs.writer);
    PrintMessageBufferLocked(rs.writer);
    g.documentOpen = true;
  }
  // What has finished is released in listing order; what has not is cut off.
  if (!AdvanceLocked(g, true)) EndGroupProcessLocked(g, g.exitCode);
  traceLineLocked(rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  WriteSummaryLocked(g, " (Timeout after " + std::to_string(budgetSeconds) + " s)", true);
  EndGroupProcessLocked(g, g.exitCode);
}

void AtGroupHandler(void* run, const HandlerReport& report) {
  GroupRun& g = *static_cast<GroupRun*>(run);
  // The library is in this process only for a system the main road
  // measures: its work so far comes before the report.
  if (SystemOutcome* system = g.onMainRoad) {
    if (system->stage == SystemStage::Measuring) ReleaseWorkLocked(g, *system);
    TakeLibraryFilesLocked(g.rs.rfc, *system);
    PublishFilesLocked(g.rs.rfc, *system, g.rs.switches.consoleReport);
  }
  EndWithHandlerReportLocked(g, report);
}

}  // namespace fennick
