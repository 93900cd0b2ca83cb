#include "history/history_store.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/data_files.h"
#include "platform/file_lock.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"

namespace fennick {

namespace {

// A system of 500 tablespaces keeps about 3.5 MB; far more is no history
// of ours.
const size_t kLargestHistory = 32u << 20;

// Read and written a piece at a time; a line is never longer.
const size_t kPiece = 16u << 10;

// Other runs hold the lock for a moment, many of them one after the other
// when a monitor starts many sensors of one system at once (under Wine,
// whose file calls all pass one server, each takes a while); one that was
// stopped must still not stop this run with it.
const int kLockWaitMilliseconds = 20000;

// A sample from further ahead comes from a clock that was set back since.
const int64_t kLatestAheadSeconds = 3600;

// A sample held back at the end of its tablespace's: this run's may
// replace it, or come before it. Its line as read is copied out again
// where it fits here (a sample's line is some thirty characters).
struct HeldSample {
  HistorySample sample;
  char line[64];
  size_t lineLength = 0;  // 0: written from the numbers (this run's)
  bool lineHasCapacity = false;
};

// The history as it is read and written again, line by line.
struct Rewrite {
  int64_t now = 0;
  const std::vector<TablespaceNow>* measured = nullptr;
  std::unordered_map<std::string, size_t> measuredAt;  // the last of each name
  std::vector<bool> done;
  std::vector<Growth> growth;
  std::unordered_set<std::string> names;  // the file's, each once
  FileReplacement* file = nullptr;
  std::string out;
  std::string lineName;  // a line's, kept for its room

  // The tablespace being read: its line is written before its first
  // sample, so one whose samples all go leaves nothing.
  bool inTablespace = false;
  std::string name;
  bool headed = false;
  bool anySample = false;
  int64_t lastHour = 0;
  int64_t capacityRead = 0;  // of the last sample read
  bool anyWritten = false;
  int64_t capacityWritten = 0;  // of the last sample written
  // Its last samples: those of this run's hour and the next can only be
  // among the last two kept, since kept ones are at most an hour ahead.
  HeldSample held[3];
  int heldCount = 0;
  GrowthSums sums;
};

void Flush(Rewrite& r, bool all) {
  if (r.out.size() < kPiece && !all) return;
  r.file->Write(r.out);
  r.out.clear();
}

// A sample's line: as read where it has the capacity just when the one
// written before it had another (or there is none), else anew.
void Emit(Rewrite& r, const HeldSample& held) {
  if (!r.headed) AppendTablespaceLine(r.out, r.name);
  r.headed = true;
  const bool withCapacity = !r.anyWritten || held.sample.capacityKb != r.capacityWritten;
  if (held.lineLength == 0 || held.lineHasCapacity != withCapacity) {
    AppendSampleLine(r.out, held.sample, withCapacity);
  } else {
    r.out.append(held.line, held.lineLength);
    r.out += '\n';
  }
  r.anyWritten = true;
  r.capacityWritten = held.sample.capacityKb;
  AddToGrowth(r.sums, held.sample);
  Flush(r, false);
}

void StartTablespace(Rewrite& r, const std::string& name) {
  r.inTablespace = true;
  r.name = name;
  r.headed = false;
  r.anySample = false;
  r.anyWritten = false;
  r.heldCount = 0;
  r.sums = GrowthSums();
  r.sums.now = r.now;
}

// This run's sample in its hour: of two in one hour the later stays.
void AddThisRun(Rewrite& r, const TablespaceNow& tablespace) {
  HeldSample mine;
  mine.sample = HistorySample{r.now, tablespace.usedKb, tablespace.capacityKb};
  mine.lineLength = 0;
  const int64_t hour = HourOf(r.now);
  for (int i = 0; i < r.heldCount; ++i) {
    const int64_t theirs = HourOf(r.held[i].sample.time);
    if (theirs == hour) {
      if (r.held[i].sample.time <= r.now) r.held[i] = mine;
      return;
    }
    if (theirs > hour) {
      for (int j = r.heldCount; j > i; --j) std::swap(r.held[j], r.held[j - 1]);
      r.held[i] = mine;
      ++r.heldCount;
      return;
    }
  }
  r.held[r.heldCount++] = mine;
}

void EndTablespace(Rewrite& r) {
  if (!r.inTablespace) return;
  r.inTablespace = false;
  const auto measured = r.measuredAt.find(r.name);
  if (measured != r.measuredAt.end()) AddThisRun(r, (*r.measured)[measured->second]);
  for (int i = 0; i < r.heldCount; ++i) Emit(r, r.held[i]);
  if (measured == r.measuredAt.end()) return;
  r.growth[measured->second] = GrowthOf(r.sums);
  r.done[measured->second] = true;
}

bool OnSample(Rewrite& r, HistorySample sample, bool withCapacity, const char* begin, const char* end,
              std::string& problem) {
  if (!r.inTablespace) {
    problem = "a sample before any tablespace";
    return false;
  }
  if (!withCapacity && !r.anySample) {
    problem = "the first sample of a tablespace without its capacity";
    return false;
  }
  if (!withCapacity) sample.capacityKb = r.capacityRead;
  r.capacityRead = sample.capacityKb;
  const int64_t hour = HourOf(sample.time);
  if (r.anySample && hour <= r.lastHour) {
    problem = "not in a later hour than the sample before it";
    return false;
  }
  r.anySample = true;
  r.lastHour = hour;
  if (sample.time < r.now - kHistorySeconds || sample.time > r.now + kLatestAheadSeconds) return true;
  if (r.heldCount == 2) {
    Emit(r, r.held[0]);
    std::swap(r.held[0], r.held[1]);
    r.heldCount = 1;
  }
  HeldSample& held = r.held[r.heldCount++];
  held.sample = sample;
  held.lineLength = static_cast<size_t>(end - begin) <= sizeof held.line ? static_cast<size_t>(end - begin) : 0;
  held.lineHasCapacity = withCapacity;
  std::memcpy(held.line, begin, held.lineLength);
  return true;
}

bool OnLine(Rewrite& r, const char* begin, const char* end, size_t lineNumber, std::string& problem) {
  end = LineTextEnd(begin, end);
  if (lineNumber == 1) {
    if (IsHistoryFirstLine(begin, end)) return true;
    problem = "line 1: not \"" + std::string(kHistoryFirstLine) + "\"";
    return false;
  }
  std::string& name = r.lineName;
  HistorySample sample;
  bool withCapacity = false;
  switch (ReadHistoryLine(begin, end, name, sample, withCapacity)) {
    case HistoryLine::Empty: return true;
    case HistoryLine::Tablespace:
      EndTablespace(r);
      if (!r.names.insert(name).second) {
        problem = "line " + std::to_string(lineNumber) + ": a tablespace named a second time";
        return false;
      }
      StartTablespace(r, name);
      return true;
    case HistoryLine::Sample:
      if (OnSample(r, sample, withCapacity, begin, end, problem)) return true;
      problem = "line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    case HistoryLine::Broken: break;
  }
  problem = "line " + std::to_string(lineNumber) + ": not a tablespace or a sample";
  return false;
}

// Reads the file line by line into the rewrite. False with the problem of
// a file that is no history of ours, or with `readFailed` of one that
// could not be read.
bool ReadThrough(PlainFileReader& reader, Rewrite& r, std::string& problem, bool& readFailed) {
  std::string buffer(kPiece, '\0');
  size_t filled = 0;
  size_t total = 0;
  size_t lineNumber = 0;
  for (bool first = true;; first = false) {
    if (filled == buffer.size()) {
      problem = "line " + std::to_string(lineNumber + 1) + ": longer than " + std::to_string(kPiece) + " bytes";
      return false;
    }
    const long n = reader.Read(&buffer[filled], buffer.size() - filled, problem);
    if (n < 0) {
      readFailed = true;
      return false;
    }
    total += static_cast<size_t>(n);
    if (total > kLargestHistory) {
      problem = "larger than " + std::to_string(kLargestHistory) + " bytes";
      return false;
    }
    filled += static_cast<size_t>(n);
    const char* data = buffer.data();
    size_t start = 0;
    // An editor's UTF-8 mark.
    if (first && filled >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) start = 3;
    for (;;) {
      const char* lineEnd = static_cast<const char*>(std::memchr(data + start, '\n', filled - start));
      if (!lineEnd) break;
      if (!OnLine(r, data + start, lineEnd, ++lineNumber, problem)) return false;
      start = static_cast<size_t>(lineEnd - data) + 1;
    }
    if (n == 0) {
      if (start < filled && !OnLine(r, data + start, data + filled, ++lineNumber, problem)) return false;
      break;
    }
    std::memmove(&buffer[0], &buffer[start], filled - start);
    filled -= start;
  }
  if (lineNumber == 0) {
    problem = "empty";
    return false;
  }
  return true;
}

void BeginRewrite(Rewrite& r, const std::vector<TablespaceNow>& measured, int64_t now, FileReplacement& file) {
  r = Rewrite();
  r.now = now;
  r.measured = &measured;
  for (size_t i = 0; i < measured.size(); ++i) r.measuredAt[measured[i].name] = i;
  r.done.assign(measured.size(), false);
  r.growth.assign(measured.size(), Growth());
  r.file = &file;
  r.out.reserve(kPiece + 256);
  r.out = std::string(kHistoryFirstLine) + "\n";
}

// The tablespaces the file did not have come last; a name measured twice
// has the growth of its last.
void FinishRewrite(Rewrite& r) {
  EndTablespace(r);
  const std::vector<TablespaceNow>& measured = *r.measured;
  for (size_t i = 0; i < measured.size(); ++i) {
    const size_t last = r.measuredAt[measured[i].name];
    if (!r.done[last]) {
      StartTablespace(r, measured[last].name);
      EndTablespace(r);
    }
    r.growth[i] = r.growth[last];
  }
  Flush(r, true);
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
  // The folder is made the first time only: each call to the system costs.
  FileLock lock;
  bool locked = lock.Acquire(path + ".lock", kLockWaitMilliseconds, why);
  if (!locked && lock.folderMissing) {
    if (!MakeFolder(folder, why)) {
      result.notes.push_back("History folder " + folder + " cannot be made (" + why + "): growth not known");
      return result;
    }
    locked = lock.Acquire(path + ".lock", kLockWaitMilliseconds, why);
  }
  if (!locked) {
    result.notes.push_back("History " + path + ".lock cannot be locked (" + why + "): growth not known");
    return result;
  }
  FileReplacement file;
  if (!file.Begin(path, why)) {
    result.notes.push_back("History " + path + " cannot be written (" + why + "): growth not known");
    return result;
  }
  Rewrite rewrite;
  BeginRewrite(rewrite, now, nowSeconds, file);
  PlainFileReader reader;
  bool broken = false;
  switch (reader.Open(path, kLargestHistory, why)) {
    case ReadOutcome::Missing: break;
    case ReadOutcome::Read: {
      bool readFailed = false;
      broken = !ReadThrough(reader, rewrite, why, readFailed);
      if (readFailed) {
        result.notes.push_back("History " + path + " cannot be read (" + why + "): growth not known");
        return result;
      }
      break;
    }
    case ReadOutcome::NotAFile:
    case ReadOutcome::TooLarge: broken = true; break;
    case ReadOutcome::Failed:
      result.notes.push_back("History " + path + " cannot be read (" + why + "): growth not known");
      return result;
  }
  reader.Close();
  if (broken) {
    // What was written of it goes; the history starts anew.
    std::string failure;
    if (!RenameFile(path, path + ".bad", failure)) {
      result.notes.push_back("History " + path + " is broken (" + why + ") and cannot be set aside (" + failure +
                             "): growth not known");
      return result;
    }
    result.notes.push_back("History " + path + " was broken (" + why + "): set aside as " + path +
                           ".bad, started anew");
    if (!file.Begin(path, why)) {
      result.notes.push_back("History " + path + " cannot be written (" + why + "): growth not known");
      return result;
    }
    BeginRewrite(rewrite, now, nowSeconds, file);
  }
  FinishRewrite(rewrite);
  if (!file.Commit(why)) {
    result.notes.push_back("History " + path + " cannot be written (" + why + "): growth not known");
    return result;
  }
  result.kept = true;
  result.growth = rewrite.growth;
  return result;
}

}  // namespace fennick
