// The classic library's trace file: the last error text in it, and where
// it lies.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace fennick {

// The names the library's trace file may have here, the first read first.
std::vector<std::string> LibraryTraceFiles();

// The last error text of an open trace file; empty when there is none.
std::string LastTraceErrorText(std::FILE* traceFile);

// The functions below read the trace file in `directory` (empty: the
// working directory; else ending in a separator).

// " - " and the last error text of the trace file, or a hint (`known`
// false).
std::string TraceErrorText(const std::string& directory, bool& known);

// Where the trace file ends before a logon: what the logon writes follows.
struct TraceMark {
  std::string name;  // the file that was there, or empty
  long size = 0;
};

TraceMark MarkTraceFile(const std::string& directory);

// " - " and the last error text among the lines written after the mark;
// empty when there is none, so an old error in a growing file never shows.
std::string TraceErrorTextSince(const std::string& directory, const TraceMark& mark);

}  // namespace fennick
