#include "platform/arguments.h"

namespace fennick {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace fennick
