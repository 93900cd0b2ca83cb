#include "output/print.h"

#include "output/result_writer.h"
#include "platform/files.h"
#include "platform/standard_output.h"

namespace fennick {

namespace {

// Written and read under the run's lock only.
bool g_consoleOnStandardError = false;
bool g_consoleSilent = false;

// The file the result goes into, and what it has gathered so far.
struct ResultFile {
  bool used = false;
  bool committed = false;
  bool delivered = false;
  std::string path;
  std::string result;
  std::string undelivered;
  int undeliveredExitCode = 0;
};

// Never freed: the time budget's end may write through it while the
// process ends.
ResultFile& TheResultFile() {
  static ResultFile* file = new ResultFile;
  return *file;
}

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

void PrintResultLocked(const std::string& text) {
  ResultFile& file = TheResultFile();
  if (file.used) {
    file.result += text;
  } else {
    WriteStandardOutputLocked(text);
  }
}

void PrintMessageBufferLocked(ResultWriter& writer) {
  PrintResultLocked(writer.messageBuffer);
  writer.messageBuffer.clear();
}

void SendResultToFile(const std::string& nativePath, const std::string& undelivered, int undeliveredExitCode) {
  RunLock lock;
  ResultFile& file = TheResultFile();
  if (file.path != nativePath) file = ResultFile();
  file.used = !nativePath.empty();
  file.path = nativePath;
  file.undelivered = undelivered;
  file.undeliveredExitCode = undeliveredExitCode;
}

int CommitResultLocked(int exitCode) {
  ResultFile& file = TheResultFile();
  if (!file.used) return exitCode;
  if (file.committed) return file.delivered ? exitCode : file.undeliveredExitCode;
  file.committed = true;
  std::string why;
  file.delivered = ReplaceWhole(file.path, file.result, why);
  if (file.delivered) return exitCode;
  // The file took nothing and holds what it held: standard output says so.
  WriteStandardOutputLocked(file.undelivered);
  return file.undeliveredExitCode;
}

}  // namespace fennick
