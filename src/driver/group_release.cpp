#include "driver/group_release.h"

#include "driver/console.h"
#include "driver/group_run.h"
#include "driver/run_state.h"
#include "driver/workspace.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace fennick {

namespace {

// The system's trace and console lines; it gets its connection number here,
// so the numbers follow the listing whatever order the work was done in.
void ReleaseWorkLocked(GroupRun& g, const SystemOutcome& system) REQUIRES(theRunLock) {
  const long number = UsedConnection(system.work) ? ++g.out.connectionNumbers : 0;
  WriteStepsLocked(g.rs.trace, system.work, 0, number);
  PrintConsoleLinesLocked(system.work, 0);
}

void PrintStateLineLocked(const GroupRun& g, const SystemOutcome& system, const std::string& state)
    REQUIRES(theRunLock) {
  if (!g.rs.switches.consoleReport) return;
  PrintTextLocked("\n" + SystemLine(system.request.entry, system.profileName) + " State=" + state + "\n");
}

// A system that gave no channel: the forms that list them get it, and the
// summary names it.
void NoteUnmeasuredLocked(GroupRun& g, const UnmeasuredSystem& system) REQUIRES(theRunLock) {
  WriteSystemState(g.rs.writer, system);
  g.out.unmeasured.push_back(system);
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
void NoteFailedLocked(GroupRun& g, const SystemOutcome& system) REQUIRES(theRunLock) {
  UnmeasuredSystem failed = Unmeasured(system.systemLabel, SystemState(system), system.profileName);
  failed.reason = system.reasonKnown && system.reason.size() > 3 ? system.reason.substr(3) : "";
  failed.measured = system.end == SystemEnd::Measured && system.entryStatus == '.';
  if (system.end != SystemEnd::Measured) failed.failure = OutcomeFailure(system);
  NoteUnmeasuredLocked(g, failed);
}

// `system` is the label of the system whose library call fired it.
[[noreturn]] void EndWithHandlerReportLocked(GroupRun& g, const HandlerReport& report, const std::string& system)
    REQUIRES(theRunLock) {
  ResultWriter& writer = g.rs.writer;
  WriteHandlerReport(writer, report, g.out.documentOpen, system);
  PrintMessageBufferLocked(writer);
  const int exitCode = ExitCodeFor(writer, kExitHandlerReport);
  MarkFinishedLocked(exitCode);
  EndGroupProcessLocked(g, exitCode);
}

// Writes what the plan releases into the run's output.
class IntoOutput : public GroupReleaser {
 public:
  explicit IntoOutput(GroupRun& group) : g_(group) {}

  // A measured system: its lines, its files, its channel, its count and its
  // state. False when it ended the run (Error 1018).
  bool Release(SystemOutcome& system, bool profileMissing) override REQUIRES(theRunLock) {
    RunState& rs = g_.rs;
    ResultWriter& writer = rs.writer;
    if (profileMissing) {
      ++g_.out.missing;
      if (rs.switches.consoleReport) PrintTextLocked(MissingProfileLine(system.profileName));
      NoteUnmeasuredLocked(g_, Unmeasured(system.profileName, "Profile missing", system.profileName));
      return true;
    }
    ReleaseWorkLocked(g_, system);
    PublishFilesLocked(rs.rfc, system, rs.switches.consoleReport);
    if (system.handler && !system.handlerAtClose) {
      EndWithHandlerReportLocked(g_, *system.handler, system.systemLabel);
    }
    if (system.end == SystemEnd::NotOracle) {
      // The error closes the open document, so the monitor still reads one.
      WriteErrorEnd(writer, OutcomeFailure(system));
      PrintMessageBufferLocked(writer);
      g_.out.exitCode = ExitCodeFor(writer, kExitError);
      MarkFinishedLocked(g_.out.exitCode);
      return false;
    }
    int channels = 0;
    if (system.end == SystemEnd::Measured) {
      // The systems after it may still give a channel each.
      const size_t after = g_.plan.Size() - system.listIndex - 1;
      channels = WriteItemChannels(writer, system.rows, rs.run.itemName, system.systemLabel, system.profileName,
                                   g_.rules, after, system.daysLeft);
      PrintMessageBufferLocked(writer);
    }
    if (!IsProcessed(system)) {
      NoteFailedLocked(g_, system);
    } else if (++g_.out.processed && channels == 0) {
      // Its rows are there, but not the item's.
      UnmeasuredSystem without = Unmeasured(system.systemLabel, "no tablespace " + rs.run.itemName, system.profileName);
      without.measured = true;
      NoteUnmeasuredLocked(g_, without);
    }
    PrintStateLineLocked(g_, system, SystemState(system));
    return true;
  }

  // After a released system's close: the files it left then, and a report
  // of the library's handler at the close, which ends the run.
  void Complete(SystemOutcome& system) override REQUIRES(theRunLock) {
    PublishFilesLocked(g_.rs.rfc, system, g_.rs.switches.consoleReport);
    if (system.handler) EndWithHandlerReportLocked(g_, *system.handler, system.systemLabel);
  }

  // A system the budget cut off: not reached (its profile looked up, not
  // logged on to), or not measured yet.
  void CutOff(SystemOutcome& system, bool read, bool onMainRoad) override REQUIRES(theRunLock) {
    RunState& rs = g_.rs;
    if (!read) {
      const std::string path = NativePath(rs.run.profileDirectory + system.profileName, rs.switches.driveRoot);
      const bool missing = !FileExists(path);
      if (missing) ++g_.out.missing;
      NoteUnmeasuredLocked(g_,
                           Unmeasured(system.profileName, missing ? "Profile missing" : "Timeout", system.profileName));
      return;
    }
    ReleaseWorkLocked(g_, system);
    if (onMainRoad) {
      TakeLibraryFilesLocked(rs.rfc, system);
      PublishFilesLocked(rs.rfc, system, rs.switches.consoleReport);
    }
    NoteUnmeasuredLocked(g_, Unmeasured(system.systemLabel, "Timeout", system.profileName));
    PrintStateLineLocked(g_, system, "Timeout");
  }

 private:
  GroupRun& g_;
};

// The time budget ran out: what has finished is released in listing order,
// what has not is cut off, and the summary says so.
[[noreturn]] void EndAtBudgetLocked(GroupRun& g, int budgetSeconds) REQUIRES(theRunLock) {
  RunState& rs = g.rs;
  if (!g.out.documentOpen) {
    // Ended before the run opened its document (its console lines too).
    BeginGroupDocument(rs.writer);
    PrintMessageBufferLocked(rs.writer);
    g.out.documentOpen = true;
  }
  if (!ReleaseDueLocked(g, true)) EndGroupProcessLocked(g, g.out.exitCode);
  traceLineLocked(rs.trace, 0, "Timeout reached", std::to_string(budgetSeconds) + " s");
  WriteSummaryLocked(g, " (Timeout after " + std::to_string(budgetSeconds) + " s)", true);
  EndGroupProcessLocked(g, g.out.exitCode);
}

// The library's handler fired. The library is in this process only for a
// system the main road measures: its work so far comes before the report.
[[noreturn]] void EndAtHandlerLocked(GroupRun& g, const HandlerReport& report) REQUIRES(theRunLock) {
  bool measuring = false;
  std::string label;
  if (SystemOutcome* system = g.plan.OnMainRoad(measuring)) {
    if (measuring) ReleaseWorkLocked(g, *system);
    TakeLibraryFilesLocked(g.rs.rfc, *system);
    PublishFilesLocked(g.rs.rfc, *system, g.rs.switches.consoleReport);
    label = system->systemLabel;
  }
  EndWithHandlerReportLocked(g, report, label);
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
  g.out.documentOpen = true;
}

bool ReleaseDueLocked(GroupRun& g, bool cutOff) {
  IntoOutput output(g);
  return g.plan.Release(output, cutOff);
}

int WriteSummaryLocked(GroupRun& g, const std::string& tail, bool cutOff) {
  RunState& rs = g.rs;
  ResultWriter& writer = rs.writer;
  const unsigned systems = static_cast<unsigned>(g.plan.Size());
  const unsigned failed = systems - g.out.processed - g.out.missing;
  GroupSummary summary;
  summary.text = "(***) " + rs.run.itemName + ": NoSystems=" + std::to_string(systems) +
                 ", Processed=" + std::to_string(g.out.processed) + ", Failed=" + std::to_string(failed) + tail +
                 GrowthNote(writer.growth);
  summary.atLeastWarning = failed > 0 || cutOff;
  summary.unmeasured = g.out.unmeasured;
  summary.itemName = rs.run.itemName;
  EndGroupDocument(writer, summary);
  PrintMessageBufferLocked(writer);
  if (rs.switches.consoleReport) PrintTextLocked(ClosingLine());
  g.out.exitCode = ExitCodeFor(writer, kExitSuccess);
  MarkFinishedLocked(g.out.exitCode);
  return g.out.exitCode;
}

void EndGroupProcessLocked(GroupRun& g, int exitCode) {
  EndChildrenLocked(g.children);
  // Children killed before they told their workspace leave it behind.
  if (g.inChildren) SweepOrphanedDirectories();
  if (g.out.workspaceOpen) CloseWorkspace(g.rs.rfc);
  EndProcessLocked(exitCode);
}

void EndGroupFromOutsideLocked(GroupRun& g, const OutsideEnd& end) {
  if (end.report) EndAtHandlerLocked(g, *end.report);
  EndAtBudgetLocked(g, end.budgetSeconds);
}

}  // namespace fennick
