// A program's own data files, kept in a folder of their own: read whole
// without following a link, set aside under another name, their folder
// made when missing. (Writing them whole is ReplaceWhole, files.h.)
#pragma once

#include <cstddef>
#include <string>

namespace fennick {

enum class ReadOutcome {
  Read,
  Missing,   // nothing of that name
  NotAFile,  // a link, a folder, a pipe or a device stands there
  TooLarge,  // more than the limit
  Failed,    // there, but it cannot be read
};

// Reads a plain file whole, up to `limit` bytes, never through a link and
// never waiting on a pipe; `why` says what went wrong.
ReadOutcome ReadPlainFile(const std::string& nativePath, size_t limit, std::string& bytes, std::string& why);

// Renames a file (or a link, itself) to `newPath`, replacing a file of that
// name. False with the system's reason.
bool RenameFile(const std::string& nativePath, const std::string& newPath, std::string& why);

// Makes a folder when it is not there; true when it is there, as a folder,
// afterwards (also when another run made it a moment before).
bool MakeFolder(const std::string& nativePath, std::string& why);

}  // namespace fennick
