// The console report: lines starting with "* " that a person running the
// probe by hand reads beside the result.
#pragma once

#include <string>

namespace fennick {

struct SystemEntry;

// "* <time> <profile>, <host>, <destination>, <sysnr>, <client>"
std::string SystemLine(const SystemEntry& entry, const std::string& profileName);

// "\n* <time> <profile> State=Profile missing\n" for a listed profile that
// does not exist.
std::string MissingProfileLine(const std::string& profileName);

// The parameters as the single-profile run shows them: cut at "#" and "@",
// "(No Parameters)" when nothing is left.
std::string ShownParameters(const std::string& parameterText);

// The parameters as the item run shows them: colons as blanks, cut at " @".
std::string ShownItemParameters(const std::string& parameterText);

// "\n* <time> SAP Fennick now processed...\n"
std::string ClosingLine();

}  // namespace fennick
