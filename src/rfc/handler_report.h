// What a library's own fatal error handler reports, and where it goes. The
// library calls its handler from inside any call; the run decides how the
// report ends the output, so it installs a sink before the first logon.
#pragma once

#include <string>

namespace fennick {

struct HandlerReport {
  std::string operation;
  std::string key;
  std::string status;
  std::string message;
  std::string internalStatus;
  bool endMarkerMade = false;  // the end-of-output marker file was created
};

// Writes the report in the run's form and ends the process; never returns.
using HandlerSink = void (*)(const HandlerReport& report);

void SetHandlerSink(HandlerSink sink);

// The installed sink, or null.
HandlerSink CurrentHandlerSink();

}  // namespace fennick
