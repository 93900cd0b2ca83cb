#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/data_files.h"
#include "platform/posix_io.h"

namespace fennick {

PlainFileReader::~PlainFileReader() { Close(); }

void PlainFileReader::Close() {
  if (handle >= 0) close(static_cast<int>(handle));
  handle = -1;
}

ReadOutcome PlainFileReader::Open(const std::string& nativePath, size_t limit, std::string& why) {
  Close();
  // O_NONBLOCK: a pipe put in its place must not hold the open.
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
  handle = fd;
  left = static_cast<unsigned long long>(info.st_size);
  return ReadOutcome::Read;
}

long PlainFileReader::Read(char* buffer, size_t size, std::string& why) {
  // The end is known: no call to find it.
  if (left == 0) return 0;
  if (size > left) size = static_cast<size_t>(left);
  for (;;) {
    const ssize_t n = read(static_cast<int>(handle), buffer, size);
    if (n >= 0) {
      left = n == 0 ? 0 : left - static_cast<unsigned long long>(n);
      return static_cast<long>(n);
    }
    if (errno == EINTR) continue;
    why = ErrorText(errno);
    return -1;
  }
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
