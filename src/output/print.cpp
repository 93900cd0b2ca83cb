#include "output/print.h"

#include "output/result_writer.h"
#include "platform/standard_output.h"

namespace fennick {

namespace {

// Written and read under the run's lock only.
bool g_consoleOnStandardError = false;
bool g_finished = false;
int g_exitCode = 0;

}  // namespace

void SetConsoleOnStandardError(bool onStandardError) {
  StandardOutputLock lock;
  g_consoleOnStandardError = onStandardError;
}

void PrintText(const std::string& text) {
  StandardOutputLock lock;
  PrintTextLocked(text);
}

void PrintTextLocked(const std::string& text) {
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

void MarkFinishedLocked(int exitCode) {
  FlushStandardOutputLocked();
  g_finished = true;
  g_exitCode = exitCode;
}

bool RunFinishedLocked(int& exitCode) {
  exitCode = g_exitCode;
  return g_finished;
}

}  // namespace fennick
