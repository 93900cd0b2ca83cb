#include "driver/plugin_options.h"

#include "driver/output_option.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// The plugin-style options, and the keyword each stands for.
struct Option {
  const char* shortName;  // "-w N", "-wN"
  const char* longName;   // "--warning=N", "--warning N"
  const char* keyword;
};

const Option kOptions[] = {
    {"-w", "--warning", ",WARN="},
    {"-c", "--critical", ",ERROR="},
    {"-t", "--timeout", ",TIMEOUT="},
};

// The option's value, as getopt takes it: joined ("-w25", "--warning=25")
// or the next argument ("-w 25", "--warning 25"); false when the argument
// is not this option.
bool OptionValue(const Option& option, const std::vector<std::string>& args, size_t& i, std::string& value) {
  const std::string& arg = args[i];
  const std::string longName = option.longName;
  if (arg == option.shortName || arg == longName) {
    value = i + 1 < args.size() ? args[++i] : std::string();
    return true;
  }
  if (StartsWith(arg, longName + "=")) {
    value = arg.substr(longName.size() + 1);
    return true;
  }
  if (!StartsWith(arg, option.shortName)) return false;
  value = arg.substr(std::string(option.shortName).size());
  return true;
}

// The keyword text of one argument that begins with "-"; false for an
// argument that is no option of ours.
bool ReadOption(const std::vector<std::string>& args, size_t& i, std::string& options) {
  for (const Option& option : kOptions) {
    std::string value;
    if (!OptionValue(option, args, i, value)) continue;
    // A blank or a comma would end the value early: such a value is bad.
    if (value.find_first_of(", ") != std::string::npos) value = "?";
    // The first of each kind counts, as with keywords.
    if (options.find(option.keyword) == std::string::npos) options += std::string(option.keyword) + value + " ";
    return true;
  }
  return false;
}

}  // namespace

std::string ParameterWords(const std::vector<std::string>& args, std::string& options, std::string& firstWord,
                           RunSwitches& switches) {
  std::string words;
  bool first = true;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-') {
      if (ReadOption(args, i, options) || ReadOutputOption(args, i, switches)) continue;
      if (!switches.badOption) switches.badOption = NumberedFailure(1031, "Invalid Parameter-Value " + arg + " !");
      continue;
    }
    if (first) firstWord = arg;
    words += (first ? "" : " ") + arg;
    first = false;
  }
  return words;
}

}  // namespace fennick
