#include "rfc/classic/trace_file.h"

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const size_t kTracePieceLength = 99;

// The first of the trace file's names that opens, with that name.
FilePtr OpenTraceFile(const std::string& directory, std::string& name) {
  for (const std::string& candidate : LibraryTraceFiles()) {
    if (FilePtr file = OpenForRead(directory + candidate)) {
      name = candidate;
      return file;
    }
  }
  return nullptr;
}

long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  long size = std::ftell(file);
  return size < 0 ? 0 : size;
}

}  // namespace

std::vector<std::string> LibraryTraceFiles() {
  // On POSIX the library writes its trace in lower case.
  if (FileNamesAreCaseSensitive()) return {"Dev_Rfc.Trc", "dev_rfc.trc"};
  return {"Dev_Rfc.Trc"};
}

std::string LastTraceErrorText(std::FILE* traceFile) {
  std::string text;
  // The library writes its trace for itself: no mark, nothing to decode.
  TextLineReader reader(traceFile, kTracePieceLength, FileText::AsStored);
  std::string line;
  while (reader.Next(line)) {
    if (StartsWith(line, "**** ERROR ")) text.clear();
    if (StartsWith(line, "ERROR ")) text = line.size() > 12 ? line.substr(12) : std::string();
    if (line.size() >= 15 && line.compare(7, 8, "======> ") == 0) text = line.substr(15);
  }
  return text;
}

std::string TraceErrorText(const std::string& directory, bool& known) {
  known = false;
  std::string name;
  FilePtr file = OpenTraceFile(directory, name);
  if (!file) return " - Look for Trace-File";
  std::string text = LastTraceErrorText(file.get());
  known = !text.empty();
  return text.empty() ? " - Please Check Trace-File !" : " - " + text;
}

TraceMark MarkTraceFile(const std::string& directory) {
  TraceMark mark;
  if (FilePtr file = OpenTraceFile(directory, mark.name)) mark.size = FileSize(file.get());
  return mark;
}

std::string TraceErrorTextSince(const std::string& directory, const TraceMark& mark) {
  std::string name;
  FilePtr file = OpenTraceFile(directory, name);
  if (!file) return std::string();
  // The same file, not cut short since: only what was added counts.
  long start = name == mark.name && FileSize(file.get()) >= mark.size ? mark.size : 0;
  if (std::fseek(file.get(), start, SEEK_SET) != 0) return std::string();
  std::string text = LastTraceErrorText(file.get());
  return text.empty() ? std::string() : " - " + text;
}

}  // namespace fennick
