// The options monitoring plugins take (-w N, --warning=N, ...), turned into
// the keywords they stand for.
#pragma once

#include <string>
#include <vector>

#include "driver/keywords.h"

namespace fennick {

// The arguments after the profile (args[2] on) as the parameters: every
// argument that is no option, joined by one blank; `firstWord` gets the
// first of them (a global sensor's key). The options (-w N, -wN, --warning=N,
// --warning N; -c, --critical; -t, --timeout) become keyword text in
// `options`, the first of each kind; any other argument that begins with "-"
// is a bad option.
std::string ParameterWords(const std::vector<std::string>& args, std::string& options, std::string& firstWord,
                           RunSwitches& switches);

}  // namespace fennick
