#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "platform/terminal_input.h"

namespace fennick {

namespace {

const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
const size_t kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// The terminal's settings from before the echo went off: a Ctrl-C at the
// prompt must not leave the user's terminal silent, and a signal handler
// has no other way to reach them.
termios g_shown;

void RestoreAndEnd(int signalNumber) {
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_shown);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

bool ReadSecretLine(const std::string& prompt, std::string& line) {
  if (tcgetattr(STDIN_FILENO, &g_shown) != 0) return ReadInputLine(line);  // no terminal
  struct sigaction restoring = {}, before[kSignalCount];
  restoring.sa_handler = RestoreAndEnd;
  for (size_t i = 0; i < kSignalCount; ++i) {
    sigaction(kEndingSignals[i], nullptr, &before[i]);
    if (before[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &restoring, nullptr);
  }
  termios hidden = g_shown;
  hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
  // Off before the prompt shows, so that nothing typed after it is echoed.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  bool read = ReadInputLine(line);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_shown);
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kEndingSignals[i], &before[i], nullptr);
  std::fputs("\n", stderr);
  return read;
}

}  // namespace fennick
