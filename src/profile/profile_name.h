// From the profile argument to the profile's directory and file name.
#pragma once

#include <optional>
#include <string>

namespace fennick {

struct RunParameters;

// The item name behind a keyword: up to a blank, a comma, the end or 90
// characters, each colon turned into a blank.
std::string ExtractItemName(const std::string& text, size_t start);

// Appends ".P00" unless the name has a three-character extension.
std::string WithDefaultExtension(const std::string& name);

// Completes the profile argument: the default extension, GLOBAL.P00 (item
// run over "SAP Vireo.Gbl", whatever an ITEM= after its key says), else an
// item from ITEM= (item run over "Vireo.Prf", also when ITEM= stands in the
// key's place after GLOBAL), and the split into profileDirectory and
// profileName. Reads run.parameterString.
void CompleteProfileName(RunParameters& run, const std::string& argument, const std::optional<std::string>& item);

}  // namespace fennick
