#include <windows.h>

#include <cstdio>

#include "platform/terminal_input.h"

namespace fennick {

bool ReadSecretLine(const std::string& prompt, std::string& line) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD shown = 0;
  if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &shown)) return ReadInputLine(line);  // no console
  SetConsoleMode(input, shown & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  bool read = ReadInputLine(line);
  SetConsoleMode(input, shown);
  std::fputs("\n", stderr);
  return read;
}

}  // namespace fennick
