#include "driver/child/child_main.h"

#include <atomic>

#include "driver/child/outcome_frame.h"
#include "driver/measure.h"
#include "driver/run_end.h"
#include "platform/child_process.h"
#include "platform/paths.h"
#include "platform/run_lock.h"
#include "platform/timer.h"
#include "rfc/backends.h"
#include "rfc/handler_report.h"

namespace fennick {

const char kMeasuringChildMarker[] = "FENNICK_MEASURING_CHILD";

namespace {

const size_t kLongestRequest = 1 << 20;

// What the child knows; the library's handler cannot be handed it, so it
// finds it here.
struct Child {
  RfcBackend rfc;
  SystemOutcome system;
  std::string workspace;
  bool closing = false;
  // How many steps and console lines the parent has; under the run's lock.
  size_t stepsPassed = 0;
  size_t consoleLinesPassed = 0;
};

Child* g_child = nullptr;

// Set by the first of the measuring thread and the parent's watch to end
// the child.
std::atomic<bool> g_ending{false};

// Removes the workspace and ends the process. Only the first caller does:
// two removing one folder at once can each make the other fail on
// Windows, so the second waits for the first to end the process.
[[noreturn]] void EndOnce(int exitCode) {
  if (g_ending.exchange(true)) {
    RunLock lock;
    for (;;) WaitLocked();
  }
  if (g_child && g_child->rfc.ops) g_child->rfc.ops->closeWorkspace(g_child->rfc.state.get());
  EndProcessNow(exitCode);
}

// The steps and console lines go to the parent as they come.
void PassOn(void* context, const RfcWork& work) {
  Child& child = *static_cast<Child*>(context);
  std::string items;
  for (; child.stepsPassed < work.steps.size(); ++child.stepsPassed) items += StepItems(work.steps[child.stepsPassed]);
  for (; child.consoleLinesPassed < work.consoleLines.size(); ++child.consoleLinesPassed) {
    items += ConsoleItems(work.consoleLines[child.consoleLinesPassed]);
  }
  WriteToParent(items);
}

// What the library wrote since the last look.
void TakeFiles(Child& child) {
  if (child.rfc.ops) child.system.files.Add(child.rfc.ops->takeFiles(child.rfc.state.get()));
}

// The measurement, with the library's files so far: an Error 1018 may end
// the run before the close is done.
void SendMeasurement(Child& child) {
  TakeFiles(child);
  WriteToParent(OutcomeMeasured(child.system));
  child.system.files = LibraryFiles();
}

// The end of the outcome; the workspace goes with the child.
[[noreturn]] void Report(Child& child, int exitCode) {
  TakeFiles(child);
  WriteToParent(OutcomeEnd(child.system));
  EndOnce(exitCode);
}

// The library's handler: the outcome so far, with the report.
void OnHandlerReport(const HandlerReport& report) {
  g_child->system.handler = report;
  g_child->system.handlerAtClose = g_child->closing;
  Report(*g_child, kExitHandlerReport);
}

// The parent is gone (killed, or done with this child): nothing is left to
// report to, and nothing of the child may stay behind.
void OnParentGone() { EndOnce(kExitError); }

bool ReadRequest(ChildRequest& request) {
  std::string line, frame;
  if (!ReadLineFromParent(line) || line.empty() || line.size() > 7 ||
      line.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  size_t length = 0;
  for (char c : line) length = length * 10 + static_cast<size_t>(c - '0');
  return length <= kLongestRequest && ReadFromParent(length, frame) && DecodeChildRequest(frame, request);
}

}  // namespace

bool IsMeasuringChild(const std::vector<std::string>& args) {
  return args.size() == 1 && EnvironmentValue(kMeasuringChildMarker) == "1";
}

int RunMeasuringChild(const std::vector<std::string>& args) {
  PrepareChildStreams();
  ChildRequest request;
  if (!ReadRequest(request)) return kExitError;
  // Never freed: the handler and the watch may look until the process ends.
  g_child = new Child;
  Child& child = *g_child;
  child.system.request = request.request;
  if (BindRfcBackend(request.backend, OwnExecutablePath(args[0].c_str()), child.rfc)) {
    // No library: the system's logon failed.
    WriteToParent(OutcomeStart(std::string()));
    Report(child, kExitError);
  }
  std::string why;
  if (!child.rfc.ops->openWorkspace(child.rfc.state.get(), child.workspace, why)) {
    // Measuring with the working folder's files would mix them with other
    // runs': the parent measures this system itself.
    WriteToParent(OutcomeRefused(why));
    return kExitError;
  }
  if (!WatchParent(OnParentGone)) {
    child.rfc.ops->closeWorkspace(child.rfc.state.get());
    return kExitError;
  }
  child.system.work.noted = PassOn;
  child.system.work.notedContext = &child;
  WriteToParent(OutcomeStart(child.workspace));
  SetHandlerSink(OnHandlerReport);
  MeasureSystem(child.rfc, child.system, false);
  // The parent may release the system while its connection is closed.
  SendMeasurement(child);
  child.closing = true;
  CloseSystem(child.rfc, child.system);
  Report(child, kExitSuccess);
}

}  // namespace fennick
