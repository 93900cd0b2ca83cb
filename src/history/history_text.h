// A system's history as its file holds it. The text is made to be read and
// written by hand:
//
//   Fennick history 1
//   tablespace PSAPSR3
//   1767261600 41943040 52428800
//   1767265200 41944100 52428800
//   tablespace SYSTEM
//   ...
//
// The first line names the format and its version. Each tablespace's line
// is followed by its samples, oldest first, at most one in each hour: UTC
// seconds, used KB (size less free), capacity KB (the autoextend maximum,
// else the size), separated by blanks. In a name, "%" and the bytes that
// would end a word or a line are written "%" and two hex digits. Empty
// lines and line ends of CR LF are taken as they come.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fennick {

extern const char kHistoryFirstLine[];  // "Fennick history 1"

struct HistorySample {
  int64_t time = 0;  // UTC seconds
  int64_t usedKb = 0;
  int64_t capacityKb = 0;
  // The sample's line in the text it was read from, copied as it is when
  // the text is written again; null for a sample taken now. The text must
  // outlive it.
  const char* line = nullptr;
  size_t lineLength = 0;
};

struct TablespaceHistory {
  std::string name;
  std::vector<HistorySample> samples;  // oldest first, at most one an hour
};

// The hour a sample belongs to.
inline int64_t HourOf(int64_t time) { return time >= 0 ? time / 3600 : -((-time + 3599) / 3600); }

// Reads a history's text. False, with the line and what is wrong there in
// `problem`, for a text of another format or with a broken line.
bool ParseHistory(const std::string& text, std::vector<TablespaceHistory>& history, std::string& problem);

// The text of a history, its first line included.
std::string HistoryText(const std::vector<TablespaceHistory>& history);

}  // namespace fennick
