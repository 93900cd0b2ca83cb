#include "rfc/classic/classic_workspace.h"

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "rfc/classic/trace_file.h"

namespace fennick {

namespace {

const char kLibraryParameterFile[] = "SapRfc.ini";

// The bytes of a file from `offset` on; false when it cannot be read.
bool ReadFrom(const std::string& path, long offset, std::string& bytes) {
  FilePtr file = OpenForRead(path);
  if (!file || std::fseek(file.get(), offset, SEEK_SET) != 0) return false;
  char buffer[16384];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  return true;
}

long& TakenOf(ClassicState& state, const std::string& name) {
  for (auto& taken : state.traceTaken) {
    if (taken.first == name) return taken.second;
  }
  state.traceTaken.emplace_back(name, 0);
  return state.traceTaken.back().second;
}

}  // namespace

bool OpenClassicWorkspace(ClassicState& state, std::string& why) {
  if (!state.filesDirectory.empty()) return true;
  const std::string directory = MakePrivateDirectory();
  if (directory.empty()) {
    why = "no private directory for the RFC library's files";
    return false;
  }
  state.filesDirectory = DirectoryPrefix(directory);
  state.traceTaken.clear();
  SetEnvironmentValue("RFC_TRACE_DIR", directory);
  SetEnvironmentValue("RFC_INI", state.filesDirectory + kLibraryParameterFile);
  return true;
}

LibraryFiles TakeClassicFiles(ClassicState& state) {
  LibraryFiles files;
  if (state.filesDirectory.empty()) return files;  // the library wrote in the working folder itself
  for (const std::string& name : LibraryTraceFiles()) {
    long& taken = TakenOf(state, name);
    std::string lines;
    if (!ReadFrom(state.filesDirectory + name, taken, lines) || lines.empty()) continue;
    taken += static_cast<long>(lines.size());
    files.traces.emplace_back(name, lines);
  }
  if (state.parameterCopyWritten) {
    std::string copy;
    if (ReadFrom(state.filesDirectory + kLibraryParameterFile, 0, copy)) files.parameterCopy = copy;
    state.parameterCopyWritten = false;
  }
  return files;
}

std::vector<std::string> PublishClassicFiles(const ClassicState& state, const LibraryFiles& files) {
  std::vector<std::string> problems;
  std::string why;
  for (const auto& trace : files.traces) {
    // One append under the file's lock: the blocks of runs side by side
    // never mix.
    if (!AppendUnderLock(state.publishedTraceDirectory + trace.first, trace.second, why)) {
      problems.push_back(trace.first + ": not written (" + why + ")");
    }
  }
  // Replaced whole, so a run beside never reads half of it.
  if (files.parameterCopy && !ReplaceWhole(kLibraryParameterFile, *files.parameterCopy, why)) {
    problems.push_back(std::string(kLibraryParameterFile) + ": not written (" + why + ")");
  }
  return problems;
}

TraceMark TakenMark(const ClassicState& state) {
  TraceMark mark;
  for (const auto& taken : state.traceTaken) {
    if (taken.second > 0) {
      mark.name = taken.first;
      mark.size = taken.second;
    }
  }
  return mark;
}

void CloseClassicWorkspace(ClassicState& state) {
  // The name stays: a call still inside the library at an early end may
  // read it while the process ends.
  if (!state.filesDirectory.empty()) RemoveDirectoryTree(state.filesDirectory);
}

}  // namespace fennick
