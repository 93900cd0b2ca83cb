// What the monitor asked for: the profile, the parameters and the item. Set
// from the command line at start; a global sensor listing replaces the
// parameters and the item with its sensor's.
#pragma once

#include <string>

namespace fennick {

struct RunParameters {
  std::string secondArgument;   // the first word after the profile that is no option, as typed; empty for none
  std::string parameterString;  // upper-cased, for keyword search
  std::string parameterText;    // as typed, for values; the same positions
  std::string profileName;
  std::string profileDirectory;
  std::string itemName;
  bool itemMode = false;
  bool productProfile = false;  // an item run over "Vireo.Prf" (ITEM=)
};

}  // namespace fennick
