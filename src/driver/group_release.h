// A group run's output: the document's opening, each system the plan
// releases, the summary, and the group's end when the time budget runs out
// or the library's handler fires. The caller holds the run's lock.
#pragma once

#include <string>

#include "driver/group_plan.h"
#include "driver/run_end.h"
#include "platform/run_lock.h"

namespace fennick {

struct GroupRun;

void OpenDocumentLocked(GroupRun& group) REQUIRES(theRunLock);

// Releases what the plan says is due, in listing order, into the output;
// false when a system ended the run (Error 1018).
bool ReleaseDueLocked(GroupRun& group, bool cutOff) REQUIRES(theRunLock);

// The summary line that closes the document, and the closing console line:
// the run's last bytes. Returns the exit code.
int WriteSummaryLocked(GroupRun& group, const std::string& tail, bool cutOff) REQUIRES(theRunLock);

// Ends the process early: the children still at work end with it, and the
// library's private workspace goes.
[[noreturn]] void EndGroupProcessLocked(GroupRun& group, int exitCode) REQUIRES(theRunLock);

// The group's end from outside its road: the budget's or the handler's.
[[noreturn]] void EndGroupFromOutsideLocked(GroupRun& group, const OutsideEnd& end) REQUIRES(theRunLock);

}  // namespace fennick
