#include "rfc/classic/trace_file.h"

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const size_t kTracePieceLength = 99;

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

std::string TraceErrorText() {
  FilePtr file;
  for (const std::string& name : LibraryTraceFiles()) {
    if (!file) file = OpenForRead(name);
  }
  if (!file) return " - Look for Trace-File";
  std::string text = LastTraceErrorText(file.get());
  return text.empty() ? " - Please Check Trace-File !" : " - " + text;
}

}  // namespace fennick
