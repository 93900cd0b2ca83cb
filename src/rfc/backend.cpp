#include "rfc/backend.h"

#include "platform/standard_output.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// An override given without a value overrides nothing.
std::optional<std::string> OverrideValue(const std::string& keyword, const std::string& parameterString,
                                         const std::string& parameterText) {
  std::optional<std::string> value = KeywordValue(parameterString, parameterText, keyword);
  if (!value || value->empty()) return std::nullopt;
  return value;
}

}  // namespace

void ReadLogonOverrides(LogonRequest& request, const std::string& parameterString, const std::string& parameterText) {
  request.hostOverride = OverrideValue(",HOST=", parameterString, parameterText);
  request.sysnrOverride = OverrideValue(",NO=", parameterString, parameterText);
}

std::string ResultMessage(const StepResult& result) {
  switch (result.code) {
    case 0: return std::string();
    case 1: return "Error 1014: RFC-Failure raised !";
    case 2: return "Error 1012: Exception.: " + result.exception;
    case 3: return "Error 1013: Sys-Exception raised !";
    default: return "Error 1015: Other Failure raised !";
  }
}

void NoteStep(RfcWork& work, bool onConnection, const std::string& message, const std::string& detail) {
  StandardOutputLock lock;
  work.steps.push_back(RfcStep{onConnection, message, detail});
  if (work.passOn) work.passOn(work);
}

void NoteConsoleLine(RfcWork& work, const std::string& line) {
  StandardOutputLock lock;
  work.consoleLines.push_back(line);
  if (work.passOn) work.passOn(work);
}

}  // namespace fennick
