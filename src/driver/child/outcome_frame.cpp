#include "driver/child/outcome_frame.h"

#include <cstdint>
#include <limits>

namespace fennick {

namespace {

const char kRequestTag[] = "fennick-request";
const char kOutcomeTag[] = "fennick-outcome";
const char kEndTag[] = "end";
// No outcome of ours comes near this; a child that sends more is broken.
const uint64_t kLongestFrame = 64u << 20;

void Put(std::string& frame, const std::string& item) { frame += std::to_string(item.size()) + ":" + item + ","; }

void Put(std::string& frame, int64_t number) { Put(frame, std::to_string(number)); }

// Reads the items of a frame one by one; any flaw stops it for good.
struct ItemReader {
  const std::string& frame;
  size_t at = 0;
  bool ok = true;
  bool cutShort = false;  // the bytes end inside an item: more may come

  bool Short() {
    cutShort = true;
    return ok = false;
  }

  bool Next(std::string& item) {
    if (!ok) return false;
    size_t colon = frame.find(':', at);
    size_t digitsEnd = colon == std::string::npos ? frame.size() : colon;
    if (digitsEnd - at > 12) return ok = false;
    for (size_t i = at; i < digitsEnd; ++i) {
      if (frame[i] < '0' || frame[i] > '9') return ok = false;
    }
    if (colon == std::string::npos) return Short();
    if (colon == at) return ok = false;
    uint64_t length = 0;
    for (size_t i = at; i < colon; ++i) length = length * 10 + static_cast<uint64_t>(frame[i] - '0');
    if (length > kLongestFrame) return ok = false;
    if (length >= frame.size() - colon - 1) return Short();
    if (frame[colon + 1 + length] != ',') return ok = false;
    item.assign(frame, colon + 1, static_cast<size_t>(length));
    at = colon + 2 + static_cast<size_t>(length);
    return true;
  }

  bool Number(int64_t& value) {
    std::string item;
    if (!Next(item)) return false;
    const bool negative = !item.empty() && item[0] == '-';
    if (item.size() <= (negative ? 1u : 0u) || item.size() > 20) return ok = false;
    uint64_t magnitude = 0;
    const uint64_t largest = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
    for (size_t i = negative ? 1 : 0; i < item.size(); ++i) {
      if (item[i] < '0' || item[i] > '9') return ok = false;
      const uint64_t digit = static_cast<uint64_t>(item[i] - '0');
      if (magnitude > (largest - digit) / 10) return ok = false;
      magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
  }

  bool Flag(bool& value) {
    int64_t number = 0;
    if (!Number(number) || (number != 0 && number != 1)) return ok = false;
    value = number == 1;
    return true;
  }
};

// One field of a record as the frame carries it: exactly one of the
// members is set. A record's fields are listed once, in one table, and both
// ends read and write the record from it, so that the two can never part.
template <typename Record>
struct Field {
  std::string Record::*text = nullptr;
  int64_t Record::*number = nullptr;
  int Record::*smallNumber = nullptr;
  bool Record::*flag = nullptr;
  std::optional<int64_t> Record::*optional = nullptr;  // a flag, then the number (0 for none)

  Field(std::string Record::*member) : text(member) {}
  Field(int64_t Record::*member) : number(member) {}
  Field(int Record::*member) : smallNumber(member) {}
  Field(bool Record::*member) : flag(member) {}
  Field(std::optional<int64_t> Record::*member) : optional(member) {}
};

template <typename Record, size_t N>
void PutFields(std::string& frame, const Record& record, const Field<Record> (&fields)[N]) {
  for (const Field<Record>& field : fields) {
    if (field.text) Put(frame, record.*field.text);
    if (field.number) Put(frame, record.*field.number);
    if (field.smallNumber) Put(frame, record.*field.smallNumber);
    if (field.flag) Put(frame, record.*field.flag ? 1 : 0);
    if (field.optional) {
      Put(frame, (record.*field.optional).has_value() ? 1 : 0);
      Put(frame, (record.*field.optional).value_or(0));
    }
  }
}

template <typename Record, size_t N>
bool ReadFields(ItemReader& reader, Record& record, const Field<Record> (&fields)[N]) {
  for (const Field<Record>& field : fields) {
    int64_t number = 0;
    bool present = false;
    if (field.text && !reader.Next(record.*field.text)) return false;
    if (field.number && !reader.Number(record.*field.number)) return false;
    if (field.smallNumber) {
      if (!reader.Number(number)) return false;
      if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return reader.ok = false;
      record.*field.smallNumber = static_cast<int>(number);
    }
    if (field.flag && !reader.Flag(record.*field.flag)) return false;
    if (field.optional) {
      if (!reader.Flag(present) || !reader.Number(number)) return false;
      record.*field.optional = present ? std::optional<int64_t>(number) : std::nullopt;
    }
  }
  return true;
}

const Field<SystemEntry> kEntryFields[] = {
    &SystemEntry::extcompany, &SystemEntry::destination, &SystemEntry::client,    &SystemEntry::user,
    &SystemEntry::password,   &SystemEntry::language,    &SystemEntry::mode,      &SystemEntry::hostname,
    &SystemEntry::sysnr,      &SystemEntry::gwhost,      &SystemEntry::gwservice,
};

const Field<TablespaceRow> kRowFields[] = {
    &TablespaceRow::name,         &TablespaceRow::sizeKb,        &TablespaceRow::freeKb, &TablespaceRow::pctUsed,
    &TablespaceRow::autoextendKb, &TablespaceRow::autoextendPct, &TablespaceRow::status,
};

const Field<RfcStep> kStepFields[] = {&RfcStep::onConnection, &RfcStep::message, &RfcStep::detail};

const Field<StepResult> kFailedStepFields[] = {&StepResult::code, &StepResult::exception};

const Field<SystemOutcome> kReasonFields[] = {&SystemOutcome::reason, &SystemOutcome::reasonKnown};

// Whether the report came at the close goes first, with the outcome.
const Field<HandlerReport> kHandlerFields[] = {
    &HandlerReport::operation,      &HandlerReport::key,           &HandlerReport::status, &HandlerReport::message,
    &HandlerReport::internalStatus, &HandlerReport::endMarkerMade,
};

void PutOptional(std::string& frame, const char* tag, const std::optional<std::string>& value) {
  if (!value) return;
  Put(frame, tag);
  Put(frame, *value);
}

void PutFiles(std::string& frame, const LibraryFiles& files) {
  for (const auto& trace : files.traces) {
    Put(frame, "file");
    Put(frame, trace.first);
    Put(frame, trace.second);
  }
  PutOptional(frame, "parameters", files.parameterCopy);
}

enum class Group { Applied, Measured, End, Cut, Broken };

// Each group's items, applied to the news once they are all read; false
// when the bytes stop or break inside the group.
using GroupReader = bool (*)(ItemReader& reader, ChildNews& news);

bool ReadWorkspace(ItemReader& reader, ChildNews& news) {
  news.started = reader.Next(news.workspace);
  return news.started;
}

bool ReadRefused(ItemReader& reader, ChildNews& news) {
  news.started = reader.Next(news.refused);
  return news.started;
}

bool ReadResult(ItemReader& reader, ChildNews& news) {
  int64_t end = 0;
  if (!reader.Number(end)) return false;
  if (end < 0 || end > static_cast<int64_t>(SystemEnd::Measured)) return reader.ok = false;
  news.outcome.end = static_cast<SystemEnd>(end);
  return true;
}

bool ReadFailedStep(ItemReader& reader, ChildNews& news) {
  StepResult step;
  if (!ReadFields(reader, step, kFailedStepFields)) return false;
  news.outcome.failedStep = step;
  return true;
}

bool ReadReason(ItemReader& reader, ChildNews& news) {
  SystemOutcome read;
  if (!ReadFields(reader, read, kReasonFields)) return false;
  news.outcome.reason = read.reason;
  news.outcome.reasonKnown = read.reasonKnown;
  return true;
}

bool ReadRow(ItemReader& reader, ChildNews& news) {
  TablespaceRow row;
  if (!ReadFields(reader, row, kRowFields)) return false;
  news.outcome.rows.push_back(row);
  return true;
}

bool ReadStep(ItemReader& reader, ChildNews& news) {
  RfcStep step;
  if (!ReadFields(reader, step, kStepFields)) return false;
  news.outcome.work.steps.push_back(step);
  return true;
}

bool ReadConsoleLine(ItemReader& reader, ChildNews& news) {
  std::string line;
  if (!reader.Next(line)) return false;
  news.outcome.work.consoleLines.push_back(line);
  return true;
}

bool ReadHandler(ItemReader& reader, ChildNews& news) {
  HandlerReport r;
  bool atClose = false;
  if (!reader.Flag(atClose) || !ReadFields(reader, r, kHandlerFields)) return false;
  news.outcome.handler = r;
  news.outcome.handlerAtClose = atClose;
  return true;
}

bool ReadFile(ItemReader& reader, ChildNews& news) {
  std::string name, content;
  if (!reader.Next(name) || !reader.Next(content)) return false;
  LibraryFiles file;
  file.traces.emplace_back(name, content);
  news.outcome.files.Add(file);
  return true;
}

bool ReadParameters(ItemReader& reader, ChildNews& news) {
  std::string content;
  if (!reader.Next(content)) return false;
  news.outcome.files.parameterCopy = content;
  return true;
}

const std::pair<const char*, GroupReader> kGroups[] = {
    {"workspace", ReadWorkspace}, {"refused", ReadRefused},       {"result", ReadResult},
    {"failed", ReadFailedStep},   {"reason", ReadReason},         {"row", ReadRow},
    {"step", ReadStep},           {"console", ReadConsoleLine},   {"handler", ReadHandler},
    {"file", ReadFile},           {"parameters", ReadParameters},
};

// One group of items of an outcome, applied to `news` once it is whole.
Group ReadGroup(ItemReader& reader, ChildNews& news) {
  std::string tag;
  if (!reader.Next(tag)) return reader.cutShort ? Group::Cut : Group::Broken;
  if (tag == kEndTag) return Group::End;
  if (tag == "measured") return Group::Measured;
  for (const auto& group : kGroups) {
    if (tag != group.first) continue;
    if (group.second(reader, news)) return Group::Applied;
    return reader.cutShort ? Group::Cut : Group::Broken;
  }
  return Group::Broken;
}

}  // namespace

std::string EncodeChildRequest(const ChildRequest& request) {
  std::string frame;
  Put(frame, kRequestTag);
  Put(frame, "entry");
  PutFields(frame, request.request.entry, kEntryFields);
  PutOptional(frame, "host", request.request.hostOverride);
  PutOptional(frame, "sysnr", request.request.sysnrOverride);
  Put(frame, "console");
  Put(frame, request.request.consoleReport ? 1 : 0);
  Put(frame, "directory");
  Put(frame, request.request.profileDirectory);
  Put(frame, "backend");
  Put(frame, request.backend);
  Put(frame, kEndTag);
  return frame;
}

bool DecodeChildRequest(const std::string& frame, ChildRequest& request) {
  ItemReader reader{frame};
  std::string tag;
  if (!reader.Next(tag) || tag != kRequestTag) return false;
  while (reader.Next(tag)) {
    if (tag == kEndTag) return reader.at == frame.size();
    if (tag == "entry") {
      if (!ReadFields(reader, request.request.entry, kEntryFields)) return false;
    } else if (tag == "host" || tag == "sysnr") {
      std::string value;
      if (reader.Next(value)) (tag == "host" ? request.request.hostOverride : request.request.sysnrOverride) = value;
    } else if (tag == "console") {
      reader.Flag(request.request.consoleReport);
    } else if (tag == "directory") {
      reader.Next(request.request.profileDirectory);
    } else if (tag == "backend") {
      reader.Next(request.backend);
    } else {
      return false;
    }
  }
  return false;
}

// The outcome's first group: where the child measures, or why it cannot.
std::string Opening(const char* group, const std::string& text) {
  std::string frame;
  Put(frame, kOutcomeTag);
  Put(frame, group);
  Put(frame, text);
  return frame;
}

std::string OutcomeStart(const std::string& workspace) { return Opening("workspace", workspace); }

std::string OutcomeRefused(const std::string& why) {
  std::string frame = Opening("refused", why);
  Put(frame, kEndTag);
  return frame;
}

std::string StepItems(const RfcStep& step) {
  std::string items;
  Put(items, "step");
  PutFields(items, step, kStepFields);
  return items;
}

std::string ConsoleItems(const std::string& line) {
  std::string items;
  Put(items, "console");
  Put(items, line);
  return items;
}

std::string OutcomeMeasured(const SystemOutcome& system) {
  std::string frame;
  Put(frame, "result");
  Put(frame, static_cast<int64_t>(system.end));
  Put(frame, "failed");
  PutFields(frame, system.failedStep, kFailedStepFields);
  Put(frame, "reason");
  PutFields(frame, system, kReasonFields);
  for (const TablespaceRow& row : system.rows) {
    Put(frame, "row");
    PutFields(frame, row, kRowFields);
  }
  PutFiles(frame, system.files);
  Put(frame, "measured");
  return frame;
}

std::string OutcomeEnd(const SystemOutcome& system) {
  std::string frame;
  if (system.handler) {
    Put(frame, "handler");
    Put(frame, system.handlerAtClose ? 1 : 0);
    PutFields(frame, *system.handler, kHandlerFields);
  }
  PutFiles(frame, system.files);
  Put(frame, kEndTag);
  return frame;
}

std::string EncodeOutcome(const SystemOutcome& system, const std::string& workspace) {
  std::string frame = OutcomeStart(workspace);
  for (const RfcStep& step : system.work.steps) frame += StepItems(step);
  for (const std::string& line : system.work.consoleLines) frame += ConsoleItems(line);
  if (system.handler && !system.handlerAtClose) return frame + OutcomeEnd(system);
  SystemOutcome end;  // the files went with the measurement
  end.handler = system.handler;
  end.handlerAtClose = system.handlerAtClose;
  return frame + OutcomeMeasured(system) + OutcomeEnd(end);
}

FrameState OutcomeDecoder::Feed(const std::string& bytes, ChildNews& news) {
  news.stepsAt = news.outcome.work.steps.size();
  news.consoleLinesAt = news.outcome.work.consoleLines.size();
  if (state_ == FrameState::Complete || state_ == FrameState::Broken) {
    if (!bytes.empty()) state_ = FrameState::Broken;  // nothing may follow the end
    return state_;
  }
  received_ += bytes.size();
  if (received_ > kLongestFrame) return state_ = FrameState::Broken;
  pending_ += bytes;
  ItemReader reader{pending_};
  size_t consumed = 0;
  if (!tagRead_) {
    std::string tag;
    if (!reader.Next(tag)) return state_ = reader.cutShort ? state_ : FrameState::Broken;
    if (tag != kOutcomeTag) return state_ = FrameState::Broken;
    tagRead_ = true;
    consumed = reader.at;
  }
  for (;;) {
    const Group group = ReadGroup(reader, news);
    if (group == Group::Cut) break;
    if (group == Group::Broken) return state_ = FrameState::Broken;
    consumed = reader.at;
    if (group == Group::Measured) measured_ = true;
    if (group == Group::End) {
      state_ = reader.at == pending_.size() ? FrameState::Complete : FrameState::Broken;
      pending_.clear();
      return state_;
    }
  }
  pending_.erase(0, consumed);
  return state_ = measured_ ? FrameState::Measured : FrameState::Incomplete;
}

FrameState DecodeOutcome(const std::string& frame, SystemOutcome& system) {
  OutcomeDecoder decoder;
  ChildNews news;
  news.outcome = system;
  const FrameState state = decoder.Feed(frame, news);
  system = news.outcome;
  return state;
}

}  // namespace fennick
