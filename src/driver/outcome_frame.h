// What the parent and a measuring child hand each other over their pipes:
// the system to measure, and its outcome. Each is a sequence of items, every
// item a length-prefixed text ("5:hello,"), so no byte of a name or a trace
// line can break the frame; a frame without its closing item is a child
// that died half way.
#pragma once

#include <string>
#include <vector>

#include "driver/system_outcome.h"

namespace fennick {

// What a child needs to measure one system.
struct ChildRequest {
  LogonRequest request;
  std::string directory;  // its private directory
};

std::string EncodeChildRequest(const ChildRequest& request);
bool DecodeChildRequest(const std::string& frame, ChildRequest& request);

// The measured part of an outcome, the library's trace lines and the copy
// of the parameter file it was given. A child sends it in pieces: the
// start; each step and console line as the library takes it (so that its
// parent knows them even when the child is cut off); the measurement once
// it is known, before the close; and after the close the end: a handler's
// report, the library's files. A child whose handler fired before the
// measurement was known sends no measurement.
std::string OutcomeStart();
std::string StepItems(const RfcStep& step);
std::string ConsoleItems(const std::string& line);
std::string OutcomeMeasured(const SystemOutcome& system);
std::string OutcomeEnd(const SystemOutcome& system);

// The pieces in one.
std::string EncodeOutcome(const SystemOutcome& system);

enum class FrameState {
  Incomplete,  // more to come
  Measured,    // more to come, but the measurement is there
  Complete,
  Broken,
};

// Fills the measured part of `system` from the frame read so far: every
// group of items that is whole.
FrameState DecodeOutcome(const std::string& frame, SystemOutcome& system);

}  // namespace fennick
