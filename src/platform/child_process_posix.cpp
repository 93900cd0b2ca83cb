#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/posix_io.h"

namespace fennick {

namespace {

bool Replaced(const char* entry, const EnvironmentValues& environment) {
  for (const auto& value : environment) {
    const std::string& name = value.first;
    if (std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=') return true;
  }
  return false;
}

// The running program, even when its file was moved or replaced meanwhile.
std::string ProgramToStart(const std::string& program) {
  const char self[] = "/proc/self/exe";
  return access(self, X_OK) == 0 ? self : program;
}

}  // namespace

namespace {

// The parent's environment with `environment` replacing or adding values.
std::vector<std::string> ChildEnvironment(const EnvironmentValues& environment) {
  std::vector<std::string> texts;
  for (const std::string& entry : EnvironmentSnapshot()) {
    if (!Replaced(entry.c_str(), environment)) texts.push_back(entry);
  }
  for (const auto& value : environment) texts.push_back(value.first + "=" + value.second);
  return texts;
}

// Starts `path` with the pipes' ends as its standard input and output;
// the child's pid, or 0.
pid_t Spawn(const std::string& program, const std::string& path, std::vector<std::string>& texts, int input,
            int output) {
  std::vector<char*> envp;
  for (std::string& text : texts) envp.push_back(&text[0]);
  envp.push_back(nullptr);
  std::string name = program;
  char* argv[] = {&name[0], nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input, 0);
  posix_spawn_file_actions_adddup2(&actions, output, 1);
  // Standard error is the parent's; where it has none, nothing, so that no
  // file the child opens takes its place.
  if (fcntl(2, F_GETFD) < 0) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // The child starts with no signal blocked and SIGPIPE as the system has
  // it, whatever the starting thread had.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, pipeSignal;
  sigemptyset(&none);
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, envp.data()) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return started ? pid : 0;
}

void CloseChildPipes(ChildProcess& child) {
  if (child.input >= 0) close(static_cast<int>(child.input));
  if (child.output >= 0) close(static_cast<int>(child.output));
  child.input = child.output = -1;
}

}  // namespace

bool StartChildProcess(const std::string& program, const EnvironmentValues& environment, ChildProcess& child) {
  int input[2], output[2];
  // Close-on-exec from the start (no other thread's child can catch them in
  // between); the two the child needs are copied onto its standard input and
  // output, which clears the flag on the copies.
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return false;
  }
  std::vector<std::string> texts = ChildEnvironment(environment);
  const pid_t pid = Spawn(program, ProgramToStart(program), texts, input[0], output[1]);
  close(input[0]);
  close(output[1]);
  if (pid == 0) {
    close(input[1]);
    close(output[0]);
    return false;
  }
  child.process = pid;
  child.input = input[1];
  child.output = output[0];
  return true;
}

// A child that is gone must not end the parent, and SIGPIPE stays the
// process's as it was: it is held back in this thread alone during the
// write, and one that the write raised is taken before it is let go.
bool WriteToChild(const ChildProcess& child, const std::string& bytes) {
  sigset_t pipeSignal, before, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
  sigpending(&pending);
  const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
  const bool written = WriteAll(static_cast<int>(child.input), bytes);
  if (!written && errno == EPIPE && !pendingBefore) {
    const timespec now = {0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return written;
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

void AwaitChildEnd(ChildProcess& child) {
  CloseChildPipes(child);
  if (child.process <= 0) return;
  siginfo_t info;
  while (waitid(P_PID, static_cast<id_t>(child.process), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
  }
}

void WaitForChild(ChildProcess& child) {
  CloseChildPipes(child);
  if (child.process > 0) {
    int status = 0;
    while (waitpid(static_cast<pid_t>(child.process), &status, 0) < 0 && errno == EINTR) {
    }
  }
  child.process = 0;
}

// The child writes only to its parent: a parent gone leaves it to notice
// on its lifeline and clean up, instead of dying of the signal.
void PrepareChildStreams() { signal(SIGPIPE, SIG_IGN); }

}  // namespace fennick
