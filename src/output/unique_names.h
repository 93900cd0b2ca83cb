// Names a monitor keys its series or services by, so that each stands once
// in a document: a name already taken gets " (" + the listed profile
// without its extension + ")", and where that is taken too (or there is no
// profile) " #" + the count of its uses so far.
#pragma once

#include <map>
#include <set>
#include <string>

namespace fennick {

struct UniqueNames {
  std::map<std::string, int> uses;
  std::set<std::string> taken;
};

std::string TakeUniqueName(UniqueNames& names, const std::string& name, const std::string& profile);

}  // namespace fennick
