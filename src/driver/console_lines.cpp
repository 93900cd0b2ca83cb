#include "driver/console_lines.h"

#include "driver/start_up.h"
#include "platform/clock.h"
#include "profile/system_entry.h"

namespace fennick {

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

}  // namespace fennick
