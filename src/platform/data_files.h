// A program's own data files, kept in a folder of their own: read without
// following a link, set aside under another name, their folder made when
// missing. (A new version is written with FileReplacement.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fennick {

enum class ReadOutcome {
  Read,
  Missing,   // nothing of that name
  NotAFile,  // a link, a folder, a pipe or a device stands there
  TooLarge,  // more than the limit
  Failed,    // there, but it cannot be read
};

// A plain file open for reading, piece by piece; closed when it goes.
struct PlainFileReader {
  PlainFileReader() = default;
  ~PlainFileReader();
  PlainFileReader(const PlainFileReader&) = delete;
  PlainFileReader& operator=(const PlainFileReader&) = delete;

  // Opens a plain file of at most `limit` bytes, never through a link and
  // never waiting on a pipe; Read when it is open, else what stands there,
  // with `why`.
  ReadOutcome Open(const std::string& nativePath, size_t limit, std::string& why);
  // The next bytes into `buffer`: how many, 0 at the end, -1 when the file
  // cannot be read (`why`).
  long Read(char* buffer, size_t size, std::string& why);
  void Close();

  intptr_t handle = -1;
  unsigned long long left = 0;  // of the size it had when opened: read no further
};

// Renames a file (or a link, itself) to `newPath`, replacing a file of that
// name. False with the system's reason.
bool RenameFile(const std::string& nativePath, const std::string& newPath, std::string& why);

// Makes a folder when it is not there; true when it is there, as a folder,
// afterwards (also when another run made it a moment before).
bool MakeFolder(const std::string& nativePath, std::string& why);

}  // namespace fennick
