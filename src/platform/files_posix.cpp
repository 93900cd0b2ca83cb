#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fennick {

FilePtr OpenForRead(const std::string& nativePath) {
  FilePtr file(std::fopen(nativePath.c_str(), "rb"));
  if (!file) return file;
  // fopen opens directories here; they are never a readable file for us.
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) file.reset();
  return file;
}

bool FileExists(const std::string& nativePath) {
  struct stat info;
  return stat(nativePath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FilePtr OpenForWrite(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "wb")); }

FilePtr OpenForAppend(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "ab")); }

}  // namespace fennick

namespace fennick {

namespace {

std::string Reason() { return std::strerror(errno); }

bool WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why) {
  int fd = open(nativePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = Reason();
    return false;
  }
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  const bool written = WriteAll(fd, bytes);
  if (!written) why = Reason();
  close(fd);  // lets go of the lock too
  return written;
}

bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why) {
  static std::atomic<unsigned> counter{0};
  const std::string temporary =
      nativePath + ".fennick-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = Reason();
    return false;
  }
  bool done = WriteAll(fd, bytes);
  if (!done) why = Reason();
  if (close(fd) != 0 && done) {
    why = Reason();
    done = false;
  }
  if (done && rename(temporary.c_str(), nativePath.c_str()) != 0) {
    why = Reason();
    done = false;
  }
  if (!done) unlink(temporary.c_str());
  return done;
}

}  // namespace fennick
