// An exclusive lock between processes and threads, held on a lock file of
// its own beside the file it guards: the guarded file itself is replaced
// by renaming, so a lock on it would guard a file that is no longer there.
#pragma once

#include <cstdint>
#include <string>

namespace fennick {

// Holds the lock while it lives, once Acquire has succeeded.
struct FileLock {
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Opens the lock file, creating it when missing but never through a link
  // (or a folder, or a device), and waits up to `waitMilliseconds` for
  // the lock: each lock taken this way excludes every other, in this
  // process or another. False with the system's reason in `why`. The lock
  // file stays: removing it would let two runs lock two different files.
  bool Acquire(const std::string& nativePath, int waitMilliseconds, std::string& why);

  intptr_t handle = -1;
  bool folderMissing = false;  // Acquire failed: its folder is not there (or is no folder)
};

}  // namespace fennick
