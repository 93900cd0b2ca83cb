// The lines of a system's history file. The text is made to be read and
// written by hand:
//
//   Fennick history 1
//   tablespace PSAPSR3
//   1767261600 41943040 52428800
//   1767265200 41944100
//   1767268800 41945000
//   tablespace SYSTEM
//   ...
//
// The first line names the format and its version. Each tablespace's line
// is followed by its samples, oldest first, at most one in each hour: UTC
// seconds, used KB (size less free), capacity KB (the autoextend maximum,
// else the size), separated by blanks. A sample whose capacity is that of
// the sample before it may leave it out (the first of a tablespace gives
// it): a week of samples is then a third smaller. In a name, "%" and the bytes that
// would end a word or a line are written "%" and two hex digits. Empty
// lines, blanks at a line's end and line ends of CR LF are taken as they
// come.
#pragma once

#include <cstdint>
#include <string>

namespace fennick {

extern const char kHistoryFirstLine[];  // "Fennick history 1"

struct HistorySample {
  int64_t time = 0;  // UTC seconds
  int64_t usedKb = 0;
  int64_t capacityKb = 0;
};

// The hour a sample belongs to.
inline int64_t HourOf(int64_t time) { return time >= 0 ? time / 3600 : -((-time + 3599) / 3600); }

enum class HistoryLine { Empty, Tablespace, Sample, Broken };

// The end of a line's text: without a CR before its line end, and without
// blanks at its end.
const char* LineTextEnd(const char* begin, const char* end);

// Whether a line's text is the first line of the format.
bool IsHistoryFirstLine(const char* begin, const char* end);

// What a line's text (from LineTextEnd) is, with the tablespace's name or
// the sample it holds; a sample without its capacity leaves
// `sample.capacityKb` as it was and `withCapacity` false.
HistoryLine ReadHistoryLine(const char* begin, const char* end, std::string& name, HistorySample& sample,
                            bool& withCapacity);

// The lines as they are written, each with its line end.
void AppendTablespaceLine(std::string& out, const std::string& name);
void AppendSampleLine(std::string& out, const HistorySample& sample, bool withCapacity);

}  // namespace fennick
