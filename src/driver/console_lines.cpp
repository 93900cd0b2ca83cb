#include "driver/console_lines.h"

#include "driver/run_state.h"
#include "driver/start_up.h"
#include "platform/clock.h"

namespace fennick {

std::string SystemLine(const RunState& rs, const std::string& profileName) {
  const SystemEntry& e = rs.entry;
  return "* " + LocalTimeOfDay() + " " + profileName + ", " + e.hostname + ", " + e.destination + ", " + e.sysnr +
         ", " + e.client;
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

}  // namespace fennick
