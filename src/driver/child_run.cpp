#include "driver/child_run.h"

#include <algorithm>

#include "driver/outcome_frame.h"
#include "driver/system_outcome.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/timer.h"
#include "rfc/backends.h"
#include "rfc/handler_report.h"

namespace fennick {

const char kMeasuringChildMarker[] = "FENNICK_MEASURING_CHILD";

namespace {

const char kParameterCopy[] = "SapRfc.ini";
const size_t kLongestRequest = 1 << 20;

// What the handler and the parent's watch need; set before either can run.
struct Child {
  RfcBackend rfc;
  SystemOutcome system;
  std::string directory;  // ending in a separator
  bool closing = false;
};

Child* g_child = nullptr;

std::string ReadWhole(std::FILE* file) {
  std::string bytes;
  char buffer[16384];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  return bytes;
}

// The library's files a child leaves in its private directory: what they
// hold, by name, and the parameter file it was given.
void GatherLibraryFiles(const RfcBackend& rfc, const std::string& directory,
                        std::vector<std::pair<std::string, std::string>>& files,
                        std::optional<std::string>& parameterCopy) {
  for (const std::string& name : rfc.ops->traceFiles()) {
    if (FilePtr file = OpenForRead(directory + name)) files.emplace_back(name, ReadWhole(file.get()));
  }
  if (FilePtr file = OpenForRead(directory + kParameterCopy)) parameterCopy = ReadWhole(file.get());
}

// The steps and console lines go to the parent as they come; the work's
// lock is held.
size_t g_stepsPassed = 0;
size_t g_consoleLinesPassed = 0;

void PassOn(const RfcWork& work) {
  std::string items;
  for (; g_stepsPassed < work.steps.size(); ++g_stepsPassed) items += StepItems(work.steps[g_stepsPassed]);
  for (; g_consoleLinesPassed < work.consoleLines.size(); ++g_consoleLinesPassed) {
    items += ConsoleItems(work.consoleLines[g_consoleLinesPassed]);
  }
  WriteToParent(items);
}

// The library's files as far as the parent has them: what they held when
// the measurement was sent.
std::vector<std::pair<std::string, std::string>> g_filesSent;
bool g_parametersSent = false;

// What the library's files hold now beyond what was sent.
void GatherNewFiles(SystemOutcome& system) {
  const Child& child = *g_child;
  std::vector<std::pair<std::string, std::string>> files;
  std::optional<std::string> parameters;
  GatherLibraryFiles(child.rfc, child.directory, files, parameters);
  system.libraryFiles.clear();
  for (const auto& file : files) {
    std::string content = file.second;
    for (const auto& sent : g_filesSent) {
      // The library only appends to its trace.
      if (sent.first == file.first) content = content.substr(std::min(sent.second.size(), content.size()));
    }
    if (!content.empty()) system.libraryFiles.emplace_back(file.first, content);
  }
  system.parameterCopy = g_parametersSent ? std::nullopt : parameters;
}

// The measurement, with the library's files so far: an Error 1018 may end
// the run before the close is done.
void SendMeasurement() {
  Child& child = *g_child;
  GatherNewFiles(child.system);
  g_filesSent = child.system.libraryFiles;
  g_parametersSent = child.system.parameterCopy.has_value();
  WriteToParent(OutcomeMeasured(child.system));
}

[[noreturn]] void Report(int exitCode) {
  Child& child = *g_child;
  GatherNewFiles(child.system);
  WriteToParent(OutcomeEnd(child.system));
  EndProcessNow(exitCode);
}

// The library's handler: the outcome so far, with the report.
[[noreturn]] void OnHandlerReport(const HandlerReport& report) {
  g_child->system.handler = report;
  g_child->system.handlerAtClose = g_child->closing;
  Report(1);
}

// The parent is gone (killed, or done with this child): nothing is left to
// report to, and nothing of the child may stay behind.
void OnParentGone() {
  RemoveDirectoryTree(g_child->directory);
  EndProcessNow(3);
}

bool ReadRequest(ChildRequest& request) {
  std::string line, frame;
  if (!ReadLineFromParent(line) || line.empty() || line.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const size_t length = static_cast<size_t>(std::stoull(line));
  return length <= kLongestRequest && ReadFromParent(length, frame) && DecodeChildRequest(frame, request);
}

}  // namespace

bool IsMeasuringChild() { return EnvironmentValue(kMeasuringChildMarker) == "1"; }

int RunMeasuringChild(const std::vector<std::string>& args) {
  PrepareChildStreams();
  ChildRequest request;
  if (!ReadRequest(request)) return 2;
  // Never freed: the handler and the watch may look until the process ends.
  g_child = new Child;
  Child& child = *g_child;
  child.directory = DirectoryPrefix(request.directory);
  if (!WatchParent(OnParentGone)) return 2;
  child.system.request = request.request;
  child.system.work.passOn = PassOn;
  WriteToParent(OutcomeStart());
  if (BindRfcBackend("classic", OwnExecutablePath(args.empty() ? "" : args[0].c_str()), child.rfc,
                     child.directory)) {
    Report(2);  // no library: the system's logon failed
  }
  SetHandlerSink(OnHandlerReport);
  MeasureSystem(child.rfc, child.system);
  // The parent may release the system while its connection is closed.
  SendMeasurement();
  child.closing = true;
  CloseSystem(child.rfc, child.system);
  Report(0);
}

}  // namespace fennick
