// A group run's output: the document's opening, each system released into
// it in listing order, the summary, and the group's ends at the time
// budget and at the library's handler. The caller holds the run's lock.
#pragma once

#include <string>

namespace fennick {

struct GroupRun;
struct HandlerReport;

void OpenDocumentLocked(GroupRun& group);

// Releases every system whose turn has come: a system is released once its
// outcome is known and every system before it is done, and it is done once
// what its close brought is out too, so the output keeps listing order.
// With `cutOff` (the budget ran out) nothing is waited for: a system not
// measured yet is released as cut off, a close still going on is left. False
// when a system ended the run (Error 1018).
bool AdvanceLocked(GroupRun& group, bool cutOff);

bool AllDoneLocked(const GroupRun& group);

// The summary line that closes the document, and the closing console line:
// the run's last bytes. Returns the exit code.
int WriteSummaryLocked(GroupRun& group, const std::string& tail, bool cutOff);

// Ends the process early: the children still at work end with it, and the
// library's private workspace goes.
[[noreturn]] void EndGroupProcessLocked(GroupRun& group, int exitCode);

// The run's two outside ends (RunEndHooks).
void AtGroupBudget(void* group, int budgetSeconds);
void AtGroupHandler(void* group, const HandlerReport& report);

}  // namespace fennick
