#include "rfc/classic/error_handler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rfc/classic/classic_library.h"
#include "rfc/handler_report.h"

namespace fennick {

namespace {

// The only global of the back end: the library callback cannot be handed
// the run's state.
const RfcLibrary* g_errorLibrary = nullptr;

// No part of the system names the end-of-output marker, so it is never made.
const char kEndOfOutputMarker[] = "";

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

void SetErrorHandlerLibrary(const RfcLibrary* library) { g_errorLibrary = library; }

void RFC_CALLCONV RfcErrorHandler(char* operation) {
  RfcErrorInfo info;
  std::memset(&info, 0, sizeof info);
  if (g_errorLibrary && g_errorLibrary->RfcLastError) g_errorLibrary->RfcLastError(&info);
  if (g_errorLibrary && g_errorLibrary->RfcClose) g_errorLibrary->RfcClose(0);
  HandlerReport report;
  report.operation = operation ? operation : "";
  report.key = FieldText(info.key, sizeof info.key);
  report.status = FieldText(info.status, sizeof info.status);
  report.message = FieldText(info.message, sizeof info.message);
  report.internalStatus = FieldText(info.intstat, sizeof info.intstat);
  if (std::FILE* marker = std::fopen(kEndOfOutputMarker, "w")) {
    std::fclose(marker);
    report.endMarkerMade = true;
  }
  if (HandlerSink sink = CurrentHandlerSink()) sink(report);
  std::fflush(stdout);
  std::_Exit(1);  // no sink: nothing is left to say
}

}  // namespace fennick
