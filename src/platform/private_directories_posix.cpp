#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/private_directories.h"

namespace fennick {

namespace {

const char kPrefix[] = "fennick-";
const char kMarker[] = "fennick.owner";

std::string TemporaryBase() {
  const char* value = std::getenv("TMPDIR");
  std::string base = value && *value ? value : "/tmp";
  if (base.back() != '/') base += '/';
  return base;
}

bool RandomHex(std::string& hex) {
  unsigned char bytes[8];
  size_t have = 0;
  while (have < sizeof bytes) {
    const ssize_t n = getrandom(bytes + have, sizeof bytes - have, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    have += static_cast<size_t>(n);
  }
  static const char digits[] = "0123456789abcdef";
  hex.clear();
  for (unsigned char byte : bytes) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return true;
}

// A process as /proc tells it: its state letter, and when it started, in
// clock ticks after boot (with the process id it names one process for
// good); empty where /proc does not tell.
struct ProcessStat {
  char state = 0;
  std::string started;
};

ProcessStat ReadProcessStat(long pid) {
  ProcessStat result;
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return result;
  char buffer[1024];
  const ssize_t n = read(fd, buffer, sizeof buffer - 1);
  close(fd);
  if (n <= 0) return result;
  const std::string stat(buffer, static_cast<size_t>(n));
  // The name in parentheses may hold anything; the fields follow its end.
  size_t at = stat.rfind(')');
  if (at == std::string::npos || at + 2 >= stat.size()) return result;
  result.state = stat[at + 2];
  // The start time is the 20th field after the name.
  for (int field = 0; field < 20; ++field) {
    at = stat.find(' ', at + 1);
    if (at == std::string::npos) return result;
  }
  const size_t end = stat.find(' ', at + 1);
  result.started = stat.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
  return result;
}

std::string ProcessStartTime(long pid) { return ReadProcessStat(pid).started; }

struct Owner {
  long pid = 0;
  std::string started;  // "-" when unknown
};

bool ReadMarker(int directory, Owner& owner) {
  const int fd = openat(directory, kMarker, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  char buffer[128];
  ssize_t n = -1;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid()) {
    n = read(fd, buffer, sizeof buffer - 1);
  }
  close(fd);
  if (n <= 0) return false;
  buffer[n] = '\0';
  char started[64];
  if (std::sscanf(buffer, "fennick %ld %63s", &owner.pid, started) != 2 || owner.pid <= 0) return false;
  owner.started = started;
  return true;
}

bool WriteMarker(int directory) {
  const int fd = openat(directory, kMarker, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  std::string started = ProcessStartTime(getpid());
  if (started.empty()) started = "-";
  const std::string text = "fennick " + std::to_string(getpid()) + " " + started + "\n";
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return close(fd) == 0 && written;
}

// This process's own: its id alone is not enough, as an earlier process
// may have had the same.
bool IsOwn(const Owner& owner) {
  if (owner.pid != getpid()) return false;
  const std::string started = ProcessStartTime(getpid());
  return owner.started == "-" || started.empty() || owner.started == started;
}

bool ProcessGone(const Owner& owner) {
  if (kill(static_cast<pid_t>(owner.pid), 0) != 0) return errno == ESRCH;
  const ProcessStat stat = ReadProcessStat(owner.pid);
  // A process that has ended but not been reaped yet (an orphan waits for
  // whoever adopts it) uses nothing any more.
  if (stat.state == 'Z' || stat.state == 'X') return true;
  // Alive, or its number now belongs to a process that started later.
  if (owner.started == "-") return false;
  return !stat.started.empty() && stat.started != owner.started;
}

// Removes what the open directory holds but an entry named `keep`, never
// following a link, and closes it. True when nothing else is left.
bool RemoveContents(int directory, const char* keep = nullptr) {
  DIR* listing = fdopendir(directory);
  if (!listing) {
    close(directory);
    return false;
  }
  // Names first, then removal: the listing is not disturbed.
  std::vector<std::string> names;
  while (dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && !(keep && name == keep)) names.push_back(name);
  }
  bool all = true;
  for (const std::string& name : names) {
    struct stat info;
    if (fstatat(directory, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      const int inner = openat(directory, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (inner >= 0) RemoveContents(inner);
      all = unlinkat(directory, name.c_str(), AT_REMOVEDIR) == 0 && all;
    } else {
      all = unlinkat(directory, name.c_str(), 0) == 0 && all;
    }
  }
  closedir(listing);
  return all;
}

// True when the open directory holds nothing, or nothing but the marker.
bool HoldsOnlyMarker(int directory) {
  const int copy = fcntl(directory, F_DUPFD_CLOEXEC, 0);
  DIR* listing = copy >= 0 ? fdopendir(copy) : nullptr;
  if (!listing) {
    if (copy >= 0) close(copy);
    return false;
  }
  bool only = true;
  while (dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != kMarker) only = false;
  }
  closedir(listing);
  return only;
}

// Removes the open private directory `name` below `parent`, and closes it.
// The marker goes last, and only with everything else: a directory that
// could not be emptied (its process killed halfway, say) stays one that a
// later sweep recognises.
void RemovePrivate(int parent, const std::string& name, int directory) {
  const int listing = fcntl(directory, F_DUPFD_CLOEXEC, 0);
  const bool emptied = listing >= 0 && RemoveContents(listing, kMarker);
  if (emptied) unlinkat(directory, kMarker, 0);
  close(directory);
  if (emptied) unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

}  // namespace

std::string MakePrivateDirectory() {
  const std::string base = TemporaryBase();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string hex;
    if (!RandomHex(hex)) return std::string();
    const std::string path = base + kPrefix + std::to_string(getpid()) + "-" + hex;
    if (mkdir(path.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      return std::string();
    }
    const int directory = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // 0700 whatever the umask took away.
    if (directory >= 0 && fchmod(directory, 0700) == 0 && WriteMarker(directory)) {
      close(directory);
      return path;
    }
    if (directory >= 0) RemoveContents(directory);
    rmdir(path.c_str());
    return std::string();
  }
  return std::string();
}

void SweepOrphanedDirectories() {
  const std::string base = TemporaryBase();
  DIR* listing = opendir(base.c_str());
  if (!listing) return;
  const int parent = dirfd(listing);
  std::vector<std::string> names;
  while (dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name.compare(0, sizeof kPrefix - 1, kPrefix) == 0) names.push_back(name);
  }
  for (const std::string& name : names) {
    struct stat seen, opened;
    if (fstatat(parent, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(seen.st_mode) ||
        seen.st_uid != geteuid()) {
      continue;
    }
    const int directory = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0) continue;
    Owner owner;
    // The directory looked at is the one opened.
    if (fstat(directory, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
      close(directory);
    } else if (ReadMarker(directory, owner)) {
      if (IsOwn(owner) || !ProcessGone(owner)) {
        close(directory);
      } else {
        RemovePrivate(parent, name, directory);
      }
    } else {
      // No marker to read: a removal cut short between the marker and the
      // directory leaves it empty, a process killed between creating the
      // marker and writing it leaves the empty marker alone in it. Only such
      // a directory goes, so nothing can be lost, and only once the process
      // its name gives is gone.
      owner.pid = std::strtol(name.c_str() + sizeof kPrefix - 1, nullptr, 10);
      owner.started = "-";
      if (owner.pid > 0 && owner.pid != getpid() && ProcessGone(owner) && HoldsOnlyMarker(directory)) {
        unlinkat(directory, kMarker, 0);
        unlinkat(parent, name.c_str(), AT_REMOVEDIR);
      }
      close(directory);
    }
  }
  closedir(listing);
}

void RemoveDirectoryTree(const std::string& path) {
  // A separator at the end would have the system follow a link there.
  std::string directoryPath = path;
  while (directoryPath.size() > 1 && directoryPath.back() == '/') directoryPath.pop_back();
  if (directoryPath.empty()) return;
  const int directory = open(directoryPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (directory < 0) return;
  RemovePrivate(AT_FDCWD, directoryPath, directory);
}

}  // namespace fennick
