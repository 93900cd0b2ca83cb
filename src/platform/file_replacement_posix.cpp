#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/file_replacement.h"
#include "platform/posix_io.h"

namespace fennick {

namespace {

std::atomic<unsigned> g_replacements{0};

}  // namespace

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const std::string& nativePath, std::string& why) {
  Abandon();
  target = nativePath;
  // Each call to the system costs; a process keeps its id (children exec).
  static const pid_t self = getpid();
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = nativePath + "." + std::to_string(self) + "-" + std::to_string(++g_replacements) + ".new";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    why = ErrorText(errno);
    temporary.clear();
    return false;
  }
  handle = fd;
  failed = false;
  return true;
}

void FileReplacement::Write(const std::string& bytes) {
  if (handle < 0 || failed) return;
  if (!WriteAll(static_cast<int>(handle), bytes)) {
    failed = true;
    failure = ErrorText(errno);
  }
}

bool FileReplacement::Commit(std::string& why) {
  if (handle < 0) return false;
  const int fd = static_cast<int>(handle);
  handle = -1;
  if (close(fd) != 0 && !failed) {
    failed = true;
    failure = ErrorText(errno);
  }
  if (!failed && std::rename(temporary.c_str(), target.c_str()) != 0) {
    failed = true;
    failure = ErrorText(errno);
  }
  if (failed) {
    unlink(temporary.c_str());
    temporary.clear();
    why = failure;
    return false;
  }
  temporary.clear();
  return true;
}

void FileReplacement::Abandon() {
  if (handle >= 0) close(static_cast<int>(handle));
  handle = -1;
  if (!temporary.empty()) unlink(temporary.c_str());
  temporary.clear();
}

}  // namespace fennick
