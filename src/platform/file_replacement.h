// A file replaced whole, written piece by piece: the new bytes go to a file
// of a unique name beside it, created new and never through a link, which
// is renamed over the file once complete. A reader sees the old file or the
// new one, never a part; a run killed half way leaves the old file as it
// was (and at worst the unfinished one beside it).
#pragma once

#include <cstdint>
#include <string>

namespace fennick {

struct FileReplacement {
  FileReplacement() = default;
  ~FileReplacement();  // what was not committed is removed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Creates the new file beside `nativePath`. False with the reason.
  bool Begin(const std::string& nativePath, std::string& why);
  // Adds bytes; a failure is kept for Commit to report.
  void Write(const std::string& bytes);
  // Renames the new file over the old one. False with the reason (a write
  // that failed, a full disk), and the new file removed.
  bool Commit(std::string& why);
  // Removes the new file.
  void Abandon();

  std::string target;
  std::string temporary;
  intptr_t handle = -1;
  bool failed = false;
  std::string failure;
};

}  // namespace fennick
