// The usage text, for a user who starts the program by hand to see what it
// takes.
#pragma once

#include <string>
#include <vector>

namespace fennick {

// Whether an argument asks for help: --help, -h or /?, exactly. A profile
// of such a name is still reached with a path (./-h).
bool IsHelpRequest(const std::string& argument);

// Whether the first argument asks for help (args[0] is the program).
bool AsksForHelp(const std::vector<std::string>& args);

// Prints the usage text on standard output; the exit code is 0.
int PrintHelp();

// Whether the first argument asks for the version: -V or --version.
bool AsksForVersion(const std::vector<std::string>& args);

// "Fennick 4.3.0 (Vers 4.3 / 29.08.22)"; the exit code is 0.
int PrintVersion();

}  // namespace fennick
