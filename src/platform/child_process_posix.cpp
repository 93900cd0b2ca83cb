#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/child_process.h"

extern char** environ;

namespace fennick {

namespace {

bool Replaced(const char* entry, const EnvironmentValues& environment) {
  for (const auto& value : environment) {
    const std::string& name = value.first;
    if (std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=') return true;
  }
  return false;
}

}  // namespace

bool StartChildProcess(const std::string& program, const EnvironmentValues& environment, ChildProcess& child) {
  // A child whose pipe is gone must not end the parent.
  signal(SIGPIPE, SIG_IGN);
  int input[2], output[2];
  // Close-on-exec, so that no other child inherits these ends; the two the
  // child needs are copied onto its standard input and output.
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return false;
  }
  std::vector<std::string> texts;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (!Replaced(*entry, environment)) texts.push_back(*entry);
  }
  for (const auto& value : environment) texts.push_back(value.first + "=" + value.second);
  std::vector<char*> envp;
  for (std::string& text : texts) envp.push_back(&text[0]);
  envp.push_back(nullptr);
  std::string path = program;
  char* argv[] = {&path[0], nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  if (!started) {
    close(input[1]);
    close(output[0]);
    return false;
  }
  child.process = pid;
  child.input = input[1];
  child.output = output[0];
  return true;
}

bool WriteToChild(const ChildProcess& child, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(static_cast<int>(child.input), bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

bool ReadFromChild(const ChildProcess& child, std::string& bytes) {
  char buffer[16384];
  for (;;) {
    ssize_t n = read(static_cast<int>(child.output), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.append(buffer, static_cast<size_t>(n));
    return true;
  }
}

void KillChild(const ChildProcess& child) {
  if (child.process <= 0) return;
  kill(static_cast<pid_t>(child.process), SIGKILL);
  int status = 0;
  while (waitpid(static_cast<pid_t>(child.process), &status, 0) < 0 && errno == EINTR) {
  }
}

void WaitForChild(ChildProcess& child) {
  if (child.input >= 0) close(static_cast<int>(child.input));
  if (child.output >= 0) close(static_cast<int>(child.output));
  child.input = child.output = -1;
  if (child.process > 0) {
    int status = 0;
    while (waitpid(static_cast<pid_t>(child.process), &status, 0) < 0 && errno == EINTR) {
    }
  }
  child.process = 0;
}

std::string MakePrivateDirectory() {
  std::string base = EnvironmentValue("TMPDIR");
  if (base.empty()) base = "/tmp";
  if (base.back() != '/') base += '/';
  std::string path = base + "fennick-XXXXXX";
  // mkdtemp makes it readable by this user alone.
  if (!mkdtemp(&path[0])) return std::string();
  return path;
}

void RemoveDirectoryTree(const std::string& path) {
  if (path.empty()) return;
  if (DIR* directory = opendir(path.c_str())) {
    while (dirent* entry = readdir(directory)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string inner = path + "/" + name;
      struct stat info;
      if (lstat(inner.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        RemoveDirectoryTree(inner);
      } else {
        unlink(inner.c_str());
      }
    }
    closedir(directory);
  }
  rmdir(path.c_str());
}

void PrepareChildStreams() {}

}  // namespace fennick
