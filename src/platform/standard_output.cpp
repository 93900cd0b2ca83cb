#include "platform/standard_output.h"

#include <cstdio>

namespace fennick {

void WriteStandardOutput(const std::string& text) {
  StandardOutputLock lock;
  WriteStandardOutputLocked(text);
}

void WriteStandardOutputLocked(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void FlushStandardOutput() {
  StandardOutputLock lock;
  FlushStandardOutputLocked();
}

void FlushStandardOutputLocked() { std::fflush(stdout); }

}  // namespace fennick
