#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/data_files.h"
#include "platform/posix_io.h"

namespace fennick {

ReadOutcome ReadPlainFile(const std::string& nativePath, size_t limit, std::string& bytes, std::string& why) {
  bytes.clear();
  const int fd = open(nativePath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return ReadOutcome::Missing;
    why = error == ELOOP ? "a link" : ErrorText(error);
    return error == ELOOP ? ReadOutcome::NotAFile : ReadOutcome::Failed;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    why = "not a plain file";
    return ReadOutcome::NotAFile;
  }
  if (static_cast<unsigned long long>(info.st_size) > limit) {
    close(fd);
    why = "larger than " + std::to_string(limit) + " bytes";
    return ReadOutcome::TooLarge;
  }
  // One byte more than its size: a file that grew meanwhile shows itself.
  bytes.resize(static_cast<size_t>(info.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got > limit) {
        close(fd);
        bytes.clear();
        why = "larger than " + std::to_string(limit) + " bytes";
        return ReadOutcome::TooLarge;
      }
      bytes.resize(std::min(got * 2, limit + 1));
    }
    const ssize_t n = read(fd, &bytes[got], bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = ErrorText(errno);
      close(fd);
      bytes.clear();
      return ReadOutcome::Failed;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  bytes.resize(got);
  return ReadOutcome::Read;
}

bool RenameFile(const std::string& nativePath, const std::string& newPath, std::string& why) {
  if (std::rename(nativePath.c_str(), newPath.c_str()) == 0) return true;
  why = ErrorText(errno);
  return false;
}

bool MakeFolder(const std::string& nativePath, std::string& why) {
  if (mkdir(nativePath.c_str(), 0777) != 0 && errno != EEXIST) {
    why = ErrorText(errno);
    return false;
  }
  struct stat info;
  if (stat(nativePath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    why = "not a folder";
    return false;
  }
  return true;
}

}  // namespace fennick
