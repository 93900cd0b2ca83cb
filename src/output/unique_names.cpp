#include "output/unique_names.h"

namespace fennick {

std::string TakeUniqueName(UniqueNames& names, const std::string& name, const std::string& profile) {
  int& uses = names.uses[name];
  ++uses;
  std::string unique = name;
  if (names.taken.count(unique) && !profile.empty()) {
    const size_t dot = profile.rfind('.');
    unique = name + " (" + (dot == std::string::npos ? profile : profile.substr(0, dot)) + ")";
  }
  for (int count = uses; names.taken.count(unique); ++count) unique = name + " #" + std::to_string(count);
  names.taken.insert(unique);
  return unique;
}

}  // namespace fennick
