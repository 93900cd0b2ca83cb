#include "platform/child_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/threads.h"

namespace fennick {

namespace {

void (*g_onParentGone)() = nullptr;

void Watch(void*) {
  char buffer[256];
  while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
  }
  g_onParentGone();
}

}  // namespace

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

bool ReadFromParent(size_t count, std::string& bytes) {
  bytes.clear();
  char buffer[16384];
  while (bytes.size() < count) {
    const size_t n = std::fread(buffer, 1, std::min(sizeof buffer, count - bytes.size()), stdin);
    if (n == 0) return false;
    bytes.append(buffer, n);
  }
  return true;
}

bool ReadLineFromParent(std::string& line) {
  line.clear();
  for (int c; (c = std::fgetc(stdin)) != EOF;) {
    if (c == '\n') return true;
    if (line.size() > 64) return false;  // no line of ours is that long
    line += static_cast<char>(c);
  }
  return false;
}

void WriteToParent(const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

bool WatchParent(void (*onGone)()) {
  g_onParentGone = onGone;
  return StartDetachedThread(Watch, nullptr);
}

}  // namespace fennick
