#include "driver/outcome_frame.h"

#include <cstdint>

namespace fennick {

namespace {

const char kRequestTag[] = "fennick-request";
const char kOutcomeTag[] = "fennick-outcome";
const char kEndTag[] = "end";

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
    if (length >= frame.size() - colon - 1) return Short();
    if (frame[colon + 1 + length] != ',') return ok = false;
    item.assign(frame, colon + 1, length);
    at = colon + 2 + length;
    return true;
  }

  bool Number(int64_t& value) {
    std::string item;
    if (!Next(item)) return false;
    const bool negative = !item.empty() && item[0] == '-';
    if (!ok || item.size() <= (negative ? 1u : 0u) || item.size() > 19) return ok = false;
    value = 0;
    for (size_t i = negative ? 1 : 0; i < item.size(); ++i) {
      if (item[i] < '0' || item[i] > '9') return ok = false;
      value = value * 10 + (item[i] - '0');
    }
    if (negative) value = -value;
    return true;
  }

  bool Flag(bool& value) {
    int64_t number = 0;
    if (!Number(number) || (number != 0 && number != 1)) return ok = false;
    value = number == 1;
    return true;
  }
};

// The connection entry's fields, in one order for both ends.
std::string SystemEntry::*const kEntryFields[] = {
    &SystemEntry::extcompany, &SystemEntry::destination, &SystemEntry::client, &SystemEntry::user,
    &SystemEntry::password,   &SystemEntry::language,    &SystemEntry::mode,   &SystemEntry::hostname,
    &SystemEntry::sysnr,      &SystemEntry::gwhost,      &SystemEntry::gwservice,
};

void PutOptional(std::string& frame, const char* tag, const std::optional<std::string>& value) {
  if (!value) return;
  Put(frame, tag);
  Put(frame, *value);
}

void PutFiles(std::string& frame, const SystemOutcome& system) {
  for (const auto& file : system.libraryFiles) {
    Put(frame, "file");
    Put(frame, file.first);
    Put(frame, file.second);
  }
  PutOptional(frame, "parameters", system.parameterCopy);
}

}  // namespace

std::string EncodeChildRequest(const ChildRequest& request) {
  std::string frame;
  Put(frame, kRequestTag);
  Put(frame, "entry");
  for (std::string SystemEntry::*field : kEntryFields) Put(frame, request.request.entry.*field);
  PutOptional(frame, "host", request.request.hostOverride);
  PutOptional(frame, "sysnr", request.request.sysnrOverride);
  Put(frame, "console");
  Put(frame, request.request.consoleReport ? 1 : 0);
  Put(frame, "directory");
  Put(frame, request.directory);
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
      for (std::string SystemEntry::*field : kEntryFields) reader.Next(request.request.entry.*field);
    } else if (tag == "host" || tag == "sysnr") {
      std::string value;
      if (reader.Next(value)) (tag == "host" ? request.request.hostOverride : request.request.sysnrOverride) = value;
    } else if (tag == "console") {
      reader.Flag(request.request.consoleReport);
    } else if (tag == "directory") {
      reader.Next(request.directory);
    } else {
      return false;
    }
  }
  return false;
}

std::string OutcomeStart() {
  std::string frame;
  Put(frame, kOutcomeTag);
  return frame;
}

std::string StepItems(const RfcStep& step) {
  std::string items;
  Put(items, "step");
  Put(items, step.onConnection ? 1 : 0);
  Put(items, step.message);
  Put(items, step.detail);
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
  for (const TablespaceRow& row : system.rows) {
    Put(frame, "row");
    Put(frame, row.name);
    Put(frame, row.sizeKb);
    Put(frame, row.freeKb);
    Put(frame, row.pctUsed);
  }
  PutFiles(frame, system);
  Put(frame, "measured");
  return frame;
}

std::string OutcomeEnd(const SystemOutcome& system) {
  std::string frame;
  if (system.handler) {
    const HandlerReport& r = *system.handler;
    Put(frame, "handler");
    Put(frame, system.handlerAtClose ? 1 : 0);
    for (const std::string* text : {&r.operation, &r.key, &r.status, &r.message, &r.internalStatus}) Put(frame, *text);
    Put(frame, r.endMarkerMade ? 1 : 0);
  }
  PutFiles(frame, system);
  Put(frame, kEndTag);
  return frame;
}

std::string EncodeOutcome(const SystemOutcome& system) {
  std::string frame = OutcomeStart();
  for (const RfcStep& step : system.work.steps) frame += StepItems(step);
  for (const std::string& line : system.work.consoleLines) frame += ConsoleItems(line);
  if (system.handler && !system.handlerAtClose) return frame + OutcomeEnd(system);
  SystemOutcome end;  // the files went with the measurement
  end.handler = system.handler;
  end.handlerAtClose = system.handlerAtClose;
  return frame + OutcomeMeasured(system) + OutcomeEnd(end);
}

FrameState DecodeOutcome(const std::string& frame, SystemOutcome& system) {
  ItemReader reader{frame};
  bool measured = false;
  auto stopped = [&reader, &measured] {
    if (!reader.cutShort) return FrameState::Broken;
    return measured ? FrameState::Measured : FrameState::Incomplete;
  };
  std::string tag;
  if (!reader.Next(tag)) return stopped();
  if (tag != kOutcomeTag) return FrameState::Broken;
  // Each group is kept only once all its items are read.
  while (reader.Next(tag)) {
    if (tag == kEndTag) return reader.at == frame.size() ? FrameState::Complete : FrameState::Broken;
    if (tag == "measured") {
      measured = true;
    } else if (tag == "result") {
      int64_t end = 0;
      if (!reader.Number(end)) break;
      if (end < 0 || end > static_cast<int64_t>(SystemEnd::Measured)) return FrameState::Broken;
      system.end = static_cast<SystemEnd>(end);
    } else if (tag == "row") {
      TablespaceRow row;
      int64_t pctUsed = 0;
      if (!reader.Next(row.name) || !reader.Number(row.sizeKb) || !reader.Number(row.freeKb) ||
          !reader.Number(pctUsed))
        break;
      row.pctUsed = static_cast<int32_t>(pctUsed);
      system.rows.push_back(row);
    } else if (tag == "step") {
      RfcStep step;
      if (!reader.Flag(step.onConnection) || !reader.Next(step.message) || !reader.Next(step.detail)) break;
      system.work.steps.push_back(step);
    } else if (tag == "console") {
      std::string line;
      if (!reader.Next(line)) break;
      system.work.consoleLines.push_back(line);
    } else if (tag == "handler") {
      HandlerReport r;
      bool atClose = false;
      if (!reader.Flag(atClose)) break;
      for (std::string* text : {&r.operation, &r.key, &r.status, &r.message, &r.internalStatus}) reader.Next(*text);
      if (!reader.Flag(r.endMarkerMade)) break;
      system.handler = r;
      system.handlerAtClose = atClose;
    } else if (tag == "file") {
      std::string name, content;
      if (!reader.Next(name) || !reader.Next(content)) break;
      system.libraryFiles.emplace_back(name, content);
    } else if (tag == "parameters") {
      std::string content;
      if (!reader.Next(content)) break;
      system.parameterCopy = content;
    } else {
      return FrameState::Broken;
    }
  }
  return stopped();
}

}  // namespace fennick
