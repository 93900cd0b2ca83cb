// The measuring child: the program started again by a group run on a
// library that cannot be used from threads, to measure one system with a
// library and a private workspace of its own. It is told so by its
// environment, never by its command line, so no profile name can lead here.
#pragma once

#include <string>
#include <vector>

namespace fennick {

// The environment variable that marks a measuring child.
extern const char kMeasuringChildMarker[];

// Whether this start is a measuring child's: the marker, and no argument
// (a start with arguments is a user's, whatever the environment says).
bool IsMeasuringChild(const std::vector<std::string>& args);

// Reads the system from standard input, measures it, closes, and writes
// its outcome to standard output. Returns the exit code.
int RunMeasuringChild(const std::vector<std::string>& args);

}  // namespace fennick
