#include "rfc/handler_report.h"

#include <atomic>

namespace fennick {

namespace {

// A global because the library's callback cannot be handed the run.
std::atomic<HandlerSink> g_sink{nullptr};

}  // namespace

void SetHandlerSink(HandlerSink sink) { g_sink = sink; }

HandlerSink CurrentHandlerSink() { return g_sink; }

}  // namespace fennick
