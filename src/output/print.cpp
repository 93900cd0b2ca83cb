#include "output/print.h"

#include <cstdio>

#include "driver/run_state.h"

namespace fennick {

void PrintText(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintMessageBuffer(RunState& rs) {
  PrintText(rs.messageBuffer);
  rs.messageBuffer.clear();
}

}  // namespace fennick
