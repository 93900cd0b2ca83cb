#include "rfc/error_report.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/run_state.h"
#include "driver/trace_lines.h"
#include "platform/environment.h"
#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// The only global: the library callback cannot be handed the run's state.
const RfcLibrary* g_errorLibrary = nullptr;

const size_t kTracePieceLength = 99;
const int kLabelWidth = 15;

// No part of the system names the end-of-output marker, so it is never made.
const char kEndOfOutputMarker[] = "";

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

void SetErrorHandlerLibrary(const RfcLibrary* library) { g_errorLibrary = library; }

void RFC_CALLCONV RfcErrorHandler(char* operation) {
  std::fputs("RFC error\n", stdout);
  labelLine("operation/code", 0, kLabelWidth, operation ? operation : "");
  RfcErrorInfo info;
  std::memset(&info, 0, sizeof info);
  if (g_errorLibrary && g_errorLibrary->RfcLastError) g_errorLibrary->RfcLastError(&info);
  labelLine("key", 0, kLabelWidth, FieldText(info.key, sizeof info.key));
  labelLine("status", 0, kLabelWidth, FieldText(info.status, sizeof info.status));
  labelLine("message", 0, kLabelWidth, FieldText(info.message, sizeof info.message));
  labelLine("internal status", 0, kLabelWidth, FieldText(info.intstat, sizeof info.intstat));
  std::fputs("\n", stdout);
  if (g_errorLibrary && g_errorLibrary->RfcClose) g_errorLibrary->RfcClose(0);
  std::fputs("* Programm aborted...\n", stdout);
  std::FILE* marker = std::fopen(kEndOfOutputMarker, "w");
  if (marker) {
    std::fclose(marker);
  } else {
    std::fputs("* Error at EoXput-File...\n", stdout);
  }
  std::fflush(stdout);
  std::exit(1);
}

std::string ResultMessage(int code, const std::string& exception) {
  switch (code) {
    case 0: return std::string();
    case 1: return "Error 1014: RFC-Failure raised !";
    case 2: return "Error 1012: Exception.: " + exception;
    case 3: return "Error 1013: Sys-Exception raised !";
    default: return "Error 1015: Other Failure raised !";
  }
}

void AppendResultMessage(RunState& rs, int code, const std::string& exception) {
  rs.messageBuffer += ResultMessage(code, exception);
}

std::string LastTraceErrorText(std::FILE* traceFile) {
  std::string text;
  TextLineReader reader(traceFile, kTracePieceLength);
  std::string line;
  while (reader.Next(line)) {
    if (StartsWith(line, "**** ERROR ")) text.clear();
    if (StartsWith(line, "ERROR ")) text = line.size() > 12 ? line.substr(12) : std::string();
    if (line.size() >= 15 && line.compare(7, 8, "======> ") == 0) text = line.substr(15);
  }
  return text;
}

std::vector<std::string> LibraryTraceFiles() {
  // On POSIX the library writes its trace in lower case.
  if (FileNamesAreCaseSensitive()) return {"Dev_Rfc.Trc", "dev_rfc.trc"};
  return {"Dev_Rfc.Trc"};
}

void AppendTraceError(RunState& rs) {
  FilePtr file;
  for (const std::string& name : LibraryTraceFiles()) {
    if (!file) file = OpenForRead(name);
  }
  if (!file) {
    rs.messageBuffer += " - Look for Trace-File";
    return;
  }
  std::string text = LastTraceErrorText(file.get());
  rs.messageBuffer += text.empty() ? " - Please Check Trace-File !" : " - " + text;
}

}  // namespace fennick
