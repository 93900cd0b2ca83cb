#include "platform/standard_output.h"

#include <cstdio>

namespace fennick {

RunLockName theRunLock;

void WriteStandardOutputLocked(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void WriteStandardErrorLocked(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void FlushStandardOutput() {
  RunLock lock;
  FlushStandardOutputLocked();
}

void FlushStandardOutputLocked() { std::fflush(stdout); }

}  // namespace fennick
