#include "output/print.h"

#include "output/result_writer.h"
#include "platform/standard_output.h"

namespace fennick {

namespace {

// Written and read under the run's lock only.
bool g_consoleOnStandardError = false;
bool g_consoleSilent = false;

}  // namespace

void SetConsoleOnStandardError(bool onStandardError) {
  RunLock lock;
  g_consoleOnStandardError = onStandardError;
}

void SetConsoleSilent(bool silent) {
  RunLock lock;
  g_consoleSilent = silent;
}

void PrintText(const std::string& text) {
  RunLock lock;
  PrintTextLocked(text);
}

void PrintTextLocked(const std::string& text) {
  if (g_consoleSilent) return;
  if (g_consoleOnStandardError) {
    WriteStandardErrorLocked(text);
  } else {
    WriteStandardOutputLocked(text);
  }
}

void PrintResultLocked(const std::string& text) { WriteStandardOutputLocked(text); }

void PrintMessageBufferLocked(ResultWriter& writer) {
  PrintResultLocked(writer.messageBuffer);
  writer.messageBuffer.clear();
}

}  // namespace fennick
