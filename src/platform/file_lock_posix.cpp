#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/file_lock.h"
#include "platform/posix_io.h"

namespace fennick {

FileLock::~FileLock() {
  if (handle >= 0) close(static_cast<int>(handle));  // lets go of the lock
}

bool FileLock::Acquire(const std::string& nativePath, int waitMilliseconds, std::string& why) {
  // O_NONBLOCK: a pipe put in its place must not hold the open.
  const int fd = open(nativePath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    folderMissing = errno == ENOENT || errno == ENOTDIR;
    why = errno == ELOOP ? "a link stands in its place" : ErrorText(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    why = "not a plain file";
    return false;
  }
  // flock locks belong to the open file, so two opens in one process
  // exclude each other as two processes do. Tried and retried rather than
  // waited for without end: a holder that was stopped must not hang us.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      why = error == EWOULDBLOCK ? "held by another run too long" : ErrorText(error);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  handle = fd;
  return true;
}

}  // namespace fennick
