#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/posix_io.h"

namespace fennick {

namespace {

// strerror_r comes in two forms; either gives the system's text.
[[maybe_unused]] const char* ReasonText(int, const char* buffer) { return buffer; }
[[maybe_unused]] const char* ReasonText(const char* text, const char*) { return text; }

std::string Reason(int error) { return ErrorText(error); }

std::atomic<unsigned> g_replacements{0};

}  // namespace

// "e": close-on-exec, so that no child holds a file of ours.
FilePtr OpenForRead(const std::string& nativePath) {
  FilePtr file(std::fopen(nativePath.c_str(), "rbe"));
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

FilePtr OpenForWrite(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "wbe")); }

// "a" opens with O_APPEND: each write goes to the end the file has then.
FilePtr OpenForAppend(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "abe")); }

bool AppendToFile(std::FILE* file, const std::string& bytes) { return file && WriteAll(fileno(file), bytes); }

bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why) {
  const int fd = open(nativePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = Reason(errno);
    return false;
  }
  // A file system without locks still gets the block, in one write.
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  const bool written = WriteAll(fd, bytes);
  const int error = errno;
  close(fd);  // lets go of the lock
  if (!written) why = Reason(error);
  return written;
}

bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = nativePath + "." + std::to_string(getpid()) + "-" + std::to_string(++g_replacements) + ".new";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    why = Reason(errno);
    return false;
  }
  bool done = WriteAll(fd, bytes);
  int error = errno;
  if (close(fd) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done && rename(temporary.c_str(), nativePath.c_str()) != 0) {
    done = false;
    error = errno;
  }
  if (!done) {
    unlink(temporary.c_str());
    why = Reason(error);
  }
  return done;
}

}  // namespace fennick

namespace fennick {

std::string ErrorText(int error) {
  char buffer[256] = "";
  return ReasonText(strerror_r(error, buffer, sizeof buffer), buffer);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace fennick
