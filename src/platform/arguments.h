// The program's command line as the program holds text.
#pragma once

#include <string>
#include <vector>

namespace fennick {

// The arguments, argv[0] first. On Windows they come from the wide command
// line as UTF-8, so that a name the ANSI code page cannot spell ("Łódź")
// arrives whole instead of as its nearest ANSI letters.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace fennick
