#include "profile/profile_name.h"

#include "profile/run_parameters.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const char kGlobalName[] = "GLOBAL.P00";
const char kGlobalListing[] = "SAP Vireo.Gbl";
const char kProductProfile[] = "Vireo.Prf";
const size_t kItemNameLength = 90;

}  // namespace

std::string ExtractItemName(const std::string& text, size_t start) {
  std::string name;
  for (size_t i = start; i < text.size() && name.size() < kItemNameLength; ++i) {
    char c = text[i];
    if (c == ' ' || c == ',') break;
    name += c == ':' ? ' ' : c;
  }
  return name;
}

std::string WithDefaultExtension(const std::string& name) {
  if (name.size() >= 4 && name[name.size() - 4] == '.') return name;
  return name + ".P00";
}

void CompleteProfileName(RunParameters& run, const std::string& argument, const std::optional<std::string>& item) {
  std::string name = argument;
  if (item) {
    run.itemMode = true;
    run.itemName = *item;
    name = kProductProfile;
  }
  name = WithDefaultExtension(name);
  if (ToUpper(name) == kGlobalName) {
    run.itemMode = true;
    name = WithDefaultExtension(kGlobalListing);
  }
  // Split at the last separator; a separator only in front stays with the name.
  size_t split = name.find_last_of("\\/");
  if (split == std::string::npos || split == 0) {
    run.profileDirectory.clear();
    run.profileName = name;
  } else {
    run.profileDirectory = name.substr(0, split + 1);
    run.profileName = name.substr(split + 1);
  }
  if (ToUpper(run.profileName) == kGlobalName) {
    run.itemMode = true;
    run.profileName = kGlobalListing;
  }
}

}  // namespace fennick
