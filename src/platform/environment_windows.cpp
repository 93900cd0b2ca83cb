#include <stdlib.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/environment.h"

namespace fennick {

// Both copies: the process block that every runtime starts from, and the C
// runtime's own, which getenv in a library sharing msvcrt reads.
void SetEnvironmentValue(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
  std::string assignment = name + "=" + value;
  _putenv(assignment.c_str());
}

std::vector<std::string> EnvironmentSnapshot() {
  // The system copies the block: nothing to guard.
  std::vector<std::string> entries;
  if (char* strings = GetEnvironmentStringsA()) {
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) entries.push_back(entry);
    FreeEnvironmentStringsA(strings);
  }
  return entries;
}

std::string WorkingDirectory() {
  DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed + 1);
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return std::string();
  std::string directory(buffer.data(), n);
  if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
  return directory;
}

bool FileNamesAreCaseSensitive() { return false; }

}  // namespace fennick
