#include "history/history_store.h"

#include <algorithm>
#include <unordered_map>

#include "platform/data_files.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace fennick {

namespace {

// A system of 500 tablespaces keeps about 3.5 MB; far more is no history
// of ours.
const size_t kLargestHistory = 32u << 20;

// Other runs hold the lock for a moment; one that was stopped must not
// stop this run with it.
const int kLockWaitMilliseconds = 5000;

// A sample from further ahead comes from a clock that was set back since.
const int64_t kLatestAheadSeconds = 3600;

// The file as read, or nothing when there is none; false when it cannot be
// read. A file that is no history of ours is set aside, and the history
// starts anew.
bool ReadHistory(const std::string& path, std::string& text, std::vector<TablespaceHistory>& history,
                 std::vector<std::string>& notes) {
  std::string why;
  switch (ReadPlainFile(path, kLargestHistory, text, why)) {
    case ReadOutcome::Missing: return true;
    case ReadOutcome::Read:
      if (ParseHistory(text, history, why)) return true;
      history.clear();
      break;
    case ReadOutcome::NotAFile:
    case ReadOutcome::TooLarge: break;
    case ReadOutcome::Failed:
      notes.push_back("History " + path + " cannot be read (" + why + "): growth not known");
      return false;
  }
  std::string failure;
  if (!RenameFile(path, path + ".bad", failure)) {
    notes.push_back("History " + path + " is broken (" + why + ") and cannot be set aside (" + failure +
                    "): growth not known");
    return false;
  }
  notes.push_back("History " + path + " was broken (" + why + "): set aside as " + path + ".bad, started anew");
  return true;
}

// The sample in its hour: of two in one hour the later stays.
void AddSample(std::vector<HistorySample>& samples, const HistorySample& sample) {
  const int64_t hour = HourOf(sample.time);
  auto at = samples.end();
  while (at != samples.begin() && HourOf((at - 1)->time) > hour) --at;
  if (at != samples.begin() && HourOf((at - 1)->time) == hour) {
    if ((at - 1)->time <= sample.time) *(at - 1) = sample;
    return;
  }
  samples.insert(at, sample);
}

void DropOldSamples(std::vector<TablespaceHistory>& history, int64_t now) {
  for (TablespaceHistory& tablespace : history) {
    std::vector<HistorySample>& samples = tablespace.samples;
    size_t kept = 0;
    for (const HistorySample& sample : samples) {
      if (sample.time >= now - kHistorySeconds && sample.time <= now + kLatestAheadSeconds) samples[kept++] = sample;
    }
    samples.resize(kept);
  }
  // A tablespace without samples left goes.
  history.erase(std::remove_if(history.begin(), history.end(),
                               [](const TablespaceHistory& tablespace) { return tablespace.samples.empty(); }),
                history.end());
}

bool IsPlainNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void AppendNamePart(std::string& out, const std::string& part, bool upper) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char c : part) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (IsPlainNameByte(c)) {
      out += c;
      continue;
    }
    const unsigned char byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
}

// FNV-1a: a long name's checksum, the same on every platform.
std::string Checksum(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 15];
  return out;
}

}  // namespace

std::string HistoryFileName(const std::string& destination, const std::string& client, const std::string& host) {
  std::string name;
  AppendNamePart(name, destination, true);
  name += '_';
  AppendNamePart(name, client, true);
  name += '_';
  AppendNamePart(name, host, false);
  // A name that starts with a full stop would be hidden, or "..".
  if (name[0] == '.') name = "%2E" + name.substr(1);
  // File systems take 255 bytes a name; hostile entries may be longer.
  const size_t kLongest = 100;
  if (name.size() > kLongest) name = name.substr(0, 80) + "~" + Checksum(name);
  return name + ".history";
}

KeptHistory KeepHistory(const std::string& folder, const std::string& fileName, const std::vector<TablespaceNow>& now,
                        int64_t nowSeconds) {
  KeptHistory result;
  const std::string path = DirectoryPrefix(folder) + fileName;
  std::string why;
  if (!MakeFolder(folder, why)) {
    result.notes.push_back("History folder " + folder + " cannot be made (" + why + "): growth not known");
    return result;
  }
  std::string text;  // the lines of the samples kept are copied from it
  std::vector<TablespaceHistory> history;
  std::unordered_map<std::string, size_t> index;
  {
    FileLock lock;
    if (!lock.Acquire(path + ".lock", kLockWaitMilliseconds, why)) {
      result.notes.push_back("History " + path + ".lock cannot be locked (" + why + "): growth not known");
      return result;
    }
    if (!ReadHistory(path, text, history, result.notes)) return result;
    for (size_t i = 0; i < history.size(); ++i) index.emplace(history[i].name, i);
    for (const TablespaceNow& tablespace : now) {
      HistorySample sample;
      sample.time = nowSeconds;
      sample.usedKb = tablespace.usedKb;
      sample.capacityKb = tablespace.capacityKb;
      const auto found = index.emplace(tablespace.name, history.size());
      if (found.second) history.push_back(TablespaceHistory{tablespace.name, {}});
      AddSample(history[found.first->second].samples, sample);
    }
    DropOldSamples(history, nowSeconds);
    if (!ReplaceWhole(path, HistoryText(history), why)) {
      result.notes.push_back("History " + path + " cannot be written (" + why + "): growth not known");
      return result;
    }
  }
  result.kept = true;
  index.clear();
  for (size_t i = 0; i < history.size(); ++i) index.emplace(history[i].name, i);
  for (const TablespaceNow& tablespace : now) {
    const auto found = index.find(tablespace.name);
    result.growth.push_back(found == index.end() ? Growth{} : GrowthOf(history[found->second].samples, nowSeconds));
  }
  return result;
}

}  // namespace fennick
