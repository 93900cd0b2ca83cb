#include "rfc/backend.h"

namespace fennick {

namespace {

std::optional<std::string> OverrideValue(const std::string& keyword, const std::string& parameterString,
                                         const std::string& parameterText) {
  size_t at = parameterString.find(keyword);
  if (at == std::string::npos) return std::nullopt;
  size_t start = at + keyword.size();
  if (start > parameterText.size()) return std::nullopt;
  std::string value = parameterText.substr(start, parameterText.find_first_of(", ", start) - start);
  if (value.empty()) return std::nullopt;
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

}  // namespace fennick
