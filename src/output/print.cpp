#include "output/print.h"

#include "output/result_writer.h"
#include "platform/standard_output.h"

namespace fennick {

namespace {

// Written and read under the standard-output lock only.
bool g_resultBegun = false;

}  // namespace

void PrintText(const std::string& text) { WriteStandardOutput(text); }

void PrintResult(const std::string& text) {
  StandardOutputLock lock;
  g_resultBegun = true;
  WriteStandardOutputLocked(text);
}

void PrintMessageBuffer(ResultWriter& writer) {
  PrintResult(writer.messageBuffer);
  writer.messageBuffer.clear();
}

bool ResultBegunLocked() { return g_resultBegun; }

}  // namespace fennick
