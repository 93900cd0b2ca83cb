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

// A new file beside `nativePath` under a name no other run uses, open for
// writing; -1 with errno set when none can be made.
int CreateBeside(const std::string& nativePath, std::string& temporary) {
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = nativePath + "." + std::to_string(getpid()) + "-" + std::to_string(++g_replacements) + ".new";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  return fd;
}

}  // namespace

FilePtr OpenForRead(const std::string& nativePath) {
  std::string why;
  return OpenForRead(nativePath, why);
}

// Close-on-exec, so that no child holds a file of ours; without blocking,
// so that a FIFO in a file's place cannot hold the run.
FilePtr OpenForRead(const std::string& nativePath, std::string& why) {
  why.clear();
  const int fd = open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR && errno != ENAMETOOLONG) why = Reason(errno);
    return FilePtr();
  }
  // Directories open here; they, and devices and FIFOs, are never a
  // readable file for us.
  struct stat info = {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (!regular || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    if (!regular && S_ISDIR(info.st_mode)) why = Reason(EISDIR);
    close(fd);
    return FilePtr();
  }
  FilePtr file(fdopen(fd, "rb"));
  if (!file) close(fd);
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
  const int fd = CreateBeside(nativePath, temporary);
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

bool CanReplaceWhole(const std::string& nativePath, std::string& why) {
  struct stat info;
  if (stat(nativePath.c_str(), &info) == 0) {
    // A folder cannot be renamed over; a file the user may not write is
    // not meant to be replaced (nor can it be in a sticky folder).
    if (S_ISDIR(info.st_mode)) {
      why = Reason(EISDIR);
      return false;
    }
    if (access(nativePath.c_str(), W_OK) != 0) {
      why = Reason(errno);
      return false;
    }
  }
  std::string temporary;
  const int fd = CreateBeside(nativePath, temporary);
  if (fd < 0) {
    why = Reason(errno);
    return false;
  }
  close(fd);
  unlink(temporary.c_str());
  return true;
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
