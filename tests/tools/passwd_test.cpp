// fennick-passwd as a user meets it: its help, a password from a pipe, and
// one typed on a terminal (a pseudo-terminal here), which must not be shown.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "profile/password.h"

namespace {

const char kPasswd[] = FENNICK_PASSWD_PATH;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;         // standard error, or the terminal's screen
  bool echoAfter = false;  // the terminal shows typing again afterwards
};

// Reads what is there; false at the end of the data.
bool Append(int fd, std::string& text) {
  char buffer[4096];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) text.append(buffer, static_cast<size_t>(n));
  return n > 0;
}

// Reads whatever the descriptors give until `done` holds, all of them have
// ended, or 10 s pass.
template <typename Done>
void Gather(const std::vector<std::pair<int, std::string*>>& sources, Done done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::vector<bool> open(sources.size(), true);
  while (!done() && std::chrono::steady_clock::now() < end) {
    std::vector<pollfd> fds;
    for (size_t i = 0; i < sources.size(); ++i) fds.push_back({open[i] ? sources[i].first : -1, POLLIN, 0});
    int ready = poll(fds.data(), fds.size(), 50);
    if (ready < 0) return;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents != 0 && !Append(fds[i].fd, *sources[i].second)) open[i] = false;
    }
    if (std::find(open.begin(), open.end(), true) == open.end()) return;
  }
}

int Finish(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// fennick-passwd with `args`, `input` through a pipe on standard input.
Outcome RunPiped(const std::vector<std::string>& args, const std::string& input) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return Outcome();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    std::vector<char*> argv{const_cast<char*>(kPasswd)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(kPasswd, argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (write(in[1], input.data(), input.size()) < 0) ADD_FAILURE() << "cannot write standard input";
  close(in[1]);
  Outcome o;
  int status = 0;
  Gather({{out[0], &o.out}, {err[0], &o.err}}, [&] { return waitpid(pid, &status, WNOHANG) == pid; });
  Append(out[0], o.out);
  Append(err[0], o.err);
  o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  close(out[0]);
  close(err[0]);
  return o;
}

// fennick-passwd without arguments on a terminal: types `typed` once the
// prompt shows. Standard output goes to a pipe, so the value stays apart.
Outcome RunOnTerminal(const std::string& typed) {
  Outcome o;
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return o;
  const std::string terminal = ptsname(master);
  int out[2];
  if (pipe(out) != 0) return o;
  pid_t pid = fork();
  if (pid == 0) {
    setsid();
    int slave = open(terminal.c_str(), O_RDWR);  // the session's controlling terminal
    dup2(slave, 0);
    dup2(slave, 2);
    dup2(out[1], 1);
    execl(kPasswd, kPasswd, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  // Held open here too: the terminal outlives the program, to be asked
  // about its echo afterwards.
  int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY);
  Gather({{master, &o.err}}, [&] { return o.err.find("Password: ") != std::string::npos; });
  if (write(master, typed.data(), typed.size()) < 0) ADD_FAILURE() << "cannot type";
  int status = 0;
  bool ended = false;
  Gather({{master, &o.err}, {out[0], &o.out}}, [&] { return ended = waitpid(pid, &status, WNOHANG) == pid; });
  // The last bytes: the program has ended, so what it wrote is there now.
  while (Append(out[0], o.out)) {
  }
  pollfd screen = {master, POLLIN, 0};
  while (poll(&screen, 1, 0) > 0 && Append(master, o.err)) {
  }
  o.exitCode = ended ? (WIFEXITED(status) ? WEXITSTATUS(status) : -1) : Finish(pid);
  termios settings;
  o.echoAfter = tcgetattr(slave, &settings) == 0 && (settings.c_lflag & ECHO);
  close(slave);
  close(master);
  close(out[0]);
  return o;
}

std::string Unscrambled(std::string value) {
  while (!value.empty() && value.back() == '\n') value.pop_back();
  fennick::UnscrambleResult result = fennick::UnscramblePassword(value, fennick::BuildPasswordKey());
  return result.check == fennick::UnscrambleCheck::Ok ? result.password : "(not a valid value: " + value + ")";
}

TEST(PasswdTool, HelpWordsAndPipedPasswords) {
  struct Row {
    std::vector<std::string> args;
    std::string input;
    std::string password;  // what the value must give; empty: the usage text
  };
  const Row rows[] = {
      {{"--help"}, "", ""},           {{"-h"}, "Secret1\n", ""}, {{"/?"}, "", ""},
      {{"-h", "more"}, "", ""},       {{}, "-h\n", "-h"},  // from standard input a help word is a password
      {{}, "Secret1\r\n", "Secret1"},
  };
  for (const Row& row : rows) {
    const std::string what = row.args.empty() ? "input " + row.input : row.args[0];
    Outcome o = RunPiped(row.args, row.input);
    EXPECT_EQ(o.exitCode, 0) << what;
    EXPECT_EQ(o.err, "") << what;  // no prompt without a terminal
    if (row.password.empty()) {
      EXPECT_EQ(o.out.rfind("Usage: fennick-passwd [PASSWORD]\n", 0), 0u) << what << ": " << o.out;
    } else {
      EXPECT_EQ(Unscrambled(o.out), row.password) << what;
    }
  }
}

TEST(PasswdTool, TypedOnATerminalWithoutEcho) {
  struct Row {
    std::string typed;
    int exitCode;
    std::string screen;
    std::string password;
  };
  const Row rows[] = {
      {"Secret1\n", 0, "Password: \r\n", "Secret1"},
      {"\x04", 1, "Password: \r\nfennick-passwd: no password given\r\n", ""},  // Ctrl-D: no line
  };
  for (const Row& row : rows) {
    Outcome o = RunOnTerminal(row.typed);
    EXPECT_EQ(o.exitCode, row.exitCode) << row.screen;
    EXPECT_EQ(o.err, row.screen);
    EXPECT_TRUE(o.echoAfter) << "the terminal was left without echo";
    if (!row.password.empty()) {
      EXPECT_EQ(Unscrambled(o.out), row.password);
    }
  }
}

}  // namespace
