#include "rfc/classic/error_handler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/standard_output.h"
#include "rfc/classic/classic_library.h"

namespace fennick {

namespace {

// The only global of the back end: the library callback cannot be handed
// the run's state.
const RfcLibrary* g_errorLibrary = nullptr;

const int kLabelWidth = 15;

// No part of the system names the end-of-output marker, so it is never made.
const char kEndOfOutputMarker[] = "";

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

std::string LabelLine(const std::string& label, const std::string& text) {
  return FormatLabelLine(label, 0, kLabelWidth, text);
}

}  // namespace

void SetErrorHandlerLibrary(const RfcLibrary* library) { g_errorLibrary = library; }

std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text) {
  std::string line(indent > 0 ? indent : 0, ' ');
  line += label;
  if (static_cast<int>(label.size()) < width) line.append(width - label.size(), ' ');
  return line + " : " + text + "\n";
}

void RFC_CALLCONV RfcErrorHandler(char* operation) {
  RfcErrorInfo info;
  std::memset(&info, 0, sizeof info);
  if (g_errorLibrary && g_errorLibrary->RfcLastError) g_errorLibrary->RfcLastError(&info);
  if (g_errorLibrary && g_errorLibrary->RfcClose) g_errorLibrary->RfcClose(0);
  std::string block = "RFC error\n";
  block += LabelLine("operation/code", operation ? operation : "");
  block += LabelLine("key", FieldText(info.key, sizeof info.key));
  block += LabelLine("status", FieldText(info.status, sizeof info.status));
  block += LabelLine("message", FieldText(info.message, sizeof info.message));
  block += LabelLine("internal status", FieldText(info.intstat, sizeof info.intstat));
  block += "\n* Programm aborted...\n";
  std::FILE* marker = std::fopen(kEndOfOutputMarker, "w");
  if (marker) {
    std::fclose(marker);
  } else {
    block += "* Error at EoXput-File...\n";
  }
  // One write, the lock kept to the end: the time budget's end never lands
  // in or after the block.
  StandardOutputLock lock;
  WriteStandardOutputLocked(block);
  std::fflush(stdout);
  std::_Exit(1);
}

}  // namespace fennick
