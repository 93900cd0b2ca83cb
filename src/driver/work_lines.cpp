#include "driver/work_lines.h"

#include "output/print.h"

namespace fennick {

bool UsedConnection(const RfcWork& work) {
  for (const RfcStep& step : work.steps) {
    if (step.onConnection) return true;
  }
  return false;
}

size_t WriteStepsLocked(TraceLog& trace, const RfcWork& work, size_t from, long connectionNumber) {
  for (size_t i = from; i < work.steps.size(); ++i) {
    const RfcStep& step = work.steps[i];
    traceLineLocked(trace, step.onConnection ? connectionNumber : 0, step.message, step.detail);
  }
  return work.steps.size();
}

size_t PrintConsoleLinesLocked(const RfcWork& work, size_t from) {
  for (size_t i = from; i < work.consoleLines.size(); ++i) PrintTextLocked(work.consoleLines[i]);
  return work.consoleLines.size();
}

}  // namespace fennick
