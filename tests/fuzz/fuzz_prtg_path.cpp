// C:\PRTG_Path.Txt: the monitor's installation directory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "profile/profile_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::Text(data, size);
  fuzz::MemoryFile file = fuzz::OpenText(text);
  if (!file) return 0;
  std::string directory = fennick::PrtgDirectory(file.get());
  // The sensor subdirectories and the profile name are appended to it.
  fuzz::Check(!directory.empty() && directory.back() == '\\', "directory does not end in a backslash", directory);
  fuzz::Check(directory.size() <= 100, "directory longer than one line piece", directory);
  fuzz::Check(directory.find('\n') == std::string::npos, "directory holds a line end", directory);
  return 0;
}
