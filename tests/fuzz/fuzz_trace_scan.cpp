// Dev_Rfc.Trc: the last error text the RFC library wrote.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "rfc/classic/trace_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::Text(data, size);
  fuzz::MemoryFile file = fuzz::OpenText(text);
  if (!file) return 0;
  std::string error = fennick::LastTraceErrorText(file.get());
  // It goes into a one-line error text after " - ".
  fuzz::Check(error.size() < 99, "trace text longer than one line piece", error);
  fuzz::Check(error.find('\n') == std::string::npos, "trace text holds a line end", error);
  fuzz::Check(error.find('\0') == std::string::npos, "trace text holds a NUL byte", error);
  if (text.find("ERROR") == std::string::npos && text.find("======> ") == std::string::npos) {
    fuzz::Check(error.empty(), "trace text found without an error line", error);
  }
  return 0;
}
