#include "driver/workspace.h"

#include "driver/console.h"
#include "driver/measure.h"
#include "output/print.h"
#include "platform/private_directories.h"
#include "platform/run_lock.h"

namespace fennick {

void OpenWorkspace(const RfcBackend& rfc, bool consoleReport, const std::function<void()>& also) {
  std::string where, why;
  bool opened = false;
  {
    RunLock lock;
    opened = rfc.ops->openWorkspace(rfc.state.get(), where, why);
    if (also) also();
  }
  // A run killed before it could remove its private folder (a monitor
  // ending a sensor at its time-out) leaves it for the next run to remove.
  if (!where.empty()) SweepOrphanedDirectories();
  if (opened || !consoleReport) return;
  PrintText(NoteLine(why + ": the RFC library's files stay in the working folder"));
}

// A run ended before its library was bound has no workspace.
void TakeLibraryFilesLocked(const RfcBackend& rfc, SystemOutcome& system) {
  if (!rfc.ops) return;
  system.files.Add(rfc.ops->takeFiles(rfc.state.get()));
}

void PublishFilesLocked(const RfcBackend& rfc, SystemOutcome& system, bool consoleReport) {
  if (system.files.Empty() || !rfc.ops) return;
  const std::vector<std::string> problems = rfc.ops->publishFiles(rfc.state.get(), system.files);
  system.files = LibraryFiles();
  if (!consoleReport) return;
  for (const std::string& problem : problems) PrintTextLocked(NoteLine(problem));
}

void CloseWorkspace(const RfcBackend& rfc) {
  if (rfc.ops) rfc.ops->closeWorkspace(rfc.state.get());
}

}  // namespace fennick
