// The library's files kept private to the process that measures, and their
// publishing in the working folder: what the back end does, seen from the
// run. Runs side by side in one folder then never read each other's trace
// or parameter file.
#pragma once

#include <functional>
#include <string>

#include "platform/run_lock.h"
#include "rfc/backend.h"

namespace fennick {

struct SystemOutcome;

// Opens the back end's private workspace for measuring in this process,
// once. Where none can be made the library keeps its files in the working
// folder, as it would alone; with the console report a line says so. The
// opening holds the run's lock, so that an end from outside (the budget, a
// request to stop) finds no workspace or a whole one to remove; `opened`
// runs in the same hold.
void OpenWorkspace(const RfcBackend& rfc, bool consoleReport, const std::function<void()>& opened = {});

// Adds what the library wrote since the last look to the system's files.
// The caller holds the run's lock.
void TakeLibraryFilesLocked(const RfcBackend& rfc, SystemOutcome& system) REQUIRES(theRunLock);

// Publishes the system's files and forgets them; with the console report a
// line names each file that could not be written and why. Publishing never
// changes a result. The caller holds the run's lock.
void PublishFilesLocked(const RfcBackend& rfc, SystemOutcome& system, bool consoleReport) REQUIRES(theRunLock);

// Removes the workspace; its files must be taken before.
void CloseWorkspace(const RfcBackend& rfc);

}  // namespace fennick
