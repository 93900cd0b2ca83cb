#include "driver/console.h"

#include "driver/version.h"
#include "output/print.h"
#include "platform/clock.h"
#include "profile/system_entry.h"

namespace fennick {

std::string BannerLine(const std::string& startTime) {
  return "* " + startTime + " SAP " + kProgramName + " " + kVersion;
}

std::string SystemLine(const SystemEntry& e, const std::string& profileName) {
  return "* " + LocalTimeOfDay() + " " + profileName + ", " + e.hostname + ", " + e.destination + ", " + e.sysnr +
         ", " + e.client;
}

std::string MissingProfileLine(const std::string& profileName) {
  return "\n* " + LocalTimeOfDay() + " " + profileName + " State=Profile missing\n";
}

std::string ShownParameters(const std::string& parameterText) {
  std::string text = parameterText.substr(0, parameterText.find('#'));
  text = text.substr(0, text.find('@'));
  if (text == "(Parameters " || text == "(No ") text.clear();
  return text.empty() ? "(No Parameters)" : text;
}

std::string ShownItemParameters(const std::string& parameterText) {
  std::string text = parameterText;
  for (char& c : text) {
    if (c == ':') c = ' ';
  }
  return text.substr(0, text.find(" @"));
}

std::string ClosingLine() { return "\n* " + LocalTimeOfDay() + " SAP " + kProgramName + " now processed...\n"; }

std::string NoteLine(const std::string& what) { return "* " + LocalTimeOfDay() + " " + what + "\n"; }

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
