// What the parent and a measuring child hand each other over their pipes:
// the system to measure, and its outcome. Each is a sequence of items, every
// item a length-prefixed text ("5:hello,"), so no byte of a name or a trace
// line can break the frame; a frame without its closing item is a child
// that died half way.
#pragma once

#include <string>

#include "driver/measure.h"

namespace fennick {

// What a child needs to measure one system.
struct ChildRequest {
  LogonRequest request;
  std::string backend;  // the back end to bind, by its name
};

std::string EncodeChildRequest(const ChildRequest& request);
bool DecodeChildRequest(const std::string& frame, ChildRequest& request);

// A child sends its outcome in pieces: the start, with the private
// workspace it measures in (or why it cannot measure at all); each step and
// console line as the library takes it (so that its parent knows them even
// when the child is cut off); the measurement once it is known, before the
// close; and after the close the end: a handler's report, the library's
// files. A child whose handler fired before the measurement was known sends
// no measurement.
std::string OutcomeStart(const std::string& workspace);
std::string OutcomeRefused(const std::string& why);
std::string StepItems(const RfcStep& step);
std::string ConsoleItems(const std::string& line);
std::string OutcomeMeasured(const SystemOutcome& system);
std::string OutcomeEnd(const SystemOutcome& system);

// The pieces in one, for a child that measured in `workspace`.
std::string EncodeOutcome(const SystemOutcome& system, const std::string& workspace = std::string());

enum class FrameState {
  Incomplete,  // more to come
  Measured,    // more to come, but the measurement is there
  Complete,
  Broken,
};

// What the parent has learnt from a child so far.
struct ChildNews {
  bool started = false;       // the start came
  std::string workspace;      // where the child measures
  std::string refused;        // why it could not, when it could not
  SystemOutcome outcome;      // the measured part, and the steps and lines
  size_t stepsAt = 0;         // how many of its steps and lines were new
  size_t consoleLinesAt = 0;  //   before the last Feed
};

// Reads a child's frame as it comes in: every group of items is decoded
// once, as soon as it is whole. A frame that passes its bound is broken.
class OutcomeDecoder {
 public:
  FrameState Feed(const std::string& bytes, ChildNews& news);

 private:
  std::string pending_;  // the bytes of the group not yet whole
  bool tagRead_ = false;
  bool measured_ = false;
  size_t received_ = 0;
  FrameState state_ = FrameState::Incomplete;
};

// A whole frame at once: fills the measured part of `system`.
FrameState DecodeOutcome(const std::string& frame, SystemOutcome& system);

}  // namespace fennick
