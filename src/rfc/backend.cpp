#include "rfc/backend.h"

#include "platform/run_lock.h"

namespace fennick {

RunFailure ResultFailure(const StepResult& result, const std::string& reason) {
  switch (result.code) {
    case 0: return RunFailure{};
    case 1: return NumberedFailure(1014, "RFC-Failure raised !" + reason);
    case 2: return NumberedFailure(1012, "Exception.: " + result.exception + reason);
    case 3: return NumberedFailure(1013, "Sys-Exception raised !" + reason);
    default: return NumberedFailure(1015, "Other Failure raised !" + reason);
  }
}

FilePtr OpenParameterFile(const LogonRequest& request) {
  const std::string name = "SapRfc." + request.entry.destination;
  FilePtr file = OpenForRead(name);
  if (!file && !request.profileDirectory.empty()) file = OpenForRead(request.profileDirectory + name);
  return file;
}

void LibraryFiles::Add(const LibraryFiles& later) {
  for (const auto& trace : later.traces) {
    bool appended = false;
    for (auto& known : traces) {
      if (known.first == trace.first) {
        known.second += trace.second;
        appended = true;
      }
    }
    if (!appended) traces.push_back(trace);
  }
  if (later.parameterCopy) parameterCopy = later.parameterCopy;
}

void NoteStep(RfcWork& work, bool onConnection, const std::string& message, const std::string& detail) {
  RunLock lock;
  work.steps.push_back(RfcStep{onConnection, message, detail});
  if (work.noted) work.noted(work.notedContext, work);
}

void NoteConsoleLine(RfcWork& work, const std::string& line) {
  RunLock lock;
  work.consoleLines.push_back(line);
  if (work.noted) work.noted(work.notedContext, work);
}

}  // namespace fennick
