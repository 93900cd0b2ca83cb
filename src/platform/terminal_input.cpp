#include "platform/terminal_input.h"

#include <iostream>

namespace fennick {

bool ReadInputLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace fennick
