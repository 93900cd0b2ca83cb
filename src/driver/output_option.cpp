#include "driver/output_option.h"

#include "driver/keywords.h"

namespace fennick {

namespace {

const char kShort[] = "-o";
const char kLong[] = "--output";

}  // namespace

bool ReadOutputOption(const std::vector<std::string>& args, size_t& i, RunSwitches& switches) {
  const std::string& arg = args[i];
  const std::string longJoined = std::string(kLong) + "=";
  std::string file;
  if (arg == kShort || arg == kLong) {
    // The file is the next argument, whatever it holds: a path may begin
    // with "-" or hold blanks and commas.
    if (i + 1 < args.size()) file = args[++i];
  } else if (arg.rfind(longJoined, 0) == 0) {
    file = arg.substr(longJoined.size());
  } else if (arg.rfind(kShort, 0) == 0) {
    file = arg.substr(std::string(kShort).size());
  } else {
    return false;
  }
  if (file.empty()) {
    if (!switches.badOption) switches.badOption = NumberedFailure(1031, "Invalid Parameter-Value -o !");
  } else if (!switches.outputFile) {
    switches.outputFile = file;
  }
  return true;
}

}  // namespace fennick
