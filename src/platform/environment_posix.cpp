#include <stdlib.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#include "platform/environment.h"

extern char** environ;

namespace fennick {

namespace {

// setenv may move the table other threads read: a child's start copies it
// under the same lock.
std::mutex g_environmentLock;

}  // namespace

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  std::lock_guard<std::mutex> lock(g_environmentLock);
  setenv(name.c_str(), value.c_str(), 1);
}

std::vector<std::string> EnvironmentSnapshot() {
  std::lock_guard<std::mutex> lock(g_environmentLock);
  std::vector<std::string> entries;
  for (char** entry = environ; entry && *entry; ++entry) entries.push_back(*entry);
  return entries;
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
