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
  std::string name = WithDefaultExtension(argument);
  // Split at the last separator; a separator only in front stays with the name.
  size_t split = name.find_last_of("\\/");
  if (split == std::string::npos || split == 0) split = 0;
  std::string directory = split == 0 ? std::string() : name.substr(0, split + 1);
  std::string base = split == 0 ? name : name.substr(split + 1);
  // ITEM= in a global sensor key's place makes an item run over the product
  // profile, as its rule comes first.
  const bool itemAsKey = item && StartsWith(run.parameterString, "ITEM=");
  if (!itemAsKey && (ToUpper(name) == kGlobalName || ToUpper(base) == kGlobalName)) {
    // A global sensor's line names its item: an ITEM= after its key is ignored.
    run.itemMode = true;
    base = kGlobalListing;
    if (ToUpper(name) == kGlobalName) directory.clear();
  } else if (item) {
    run.itemMode = true;
    run.productProfile = true;
    run.itemName = *item;
    directory.clear();
    base = kProductProfile;
  }
  run.profileDirectory = directory;
  run.profileName = base;
}

}  // namespace fennick
