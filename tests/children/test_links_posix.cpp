#include <unistd.h>

#include "test_links.h"

namespace fennick {

bool MakeDirectoryLink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

// Only root can; 65534 is "nobody" on the systems we know.
bool GiveToAnotherUser(const std::string& path) { return geteuid() == 0 && chown(path.c_str(), 65534, 65534) == 0; }

}  // namespace fennick
