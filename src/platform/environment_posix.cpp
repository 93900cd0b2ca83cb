#include "platform/environment.h"

#include <stdlib.h>
#include <unistd.h>

#include <vector>

namespace fennick {

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

std::string WorkingDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size())) {
      std::string directory = buffer.data();
      if (directory.empty() || directory.back() != '/') directory += '/';
      return directory;
    }
    if (buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

bool FileNamesAreCaseSensitive() { return true; }

}  // namespace fennick
