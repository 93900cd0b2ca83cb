// Helpers shared by the fuzz targets: the input as an open file, and a
// failure that libFuzzer reports as a crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzz {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using MemoryFile = std::unique_ptr<std::FILE, FileCloser>;

// The readers take a std::FILE*, so the bytes go in through fmemopen. The
// text must outlive the file.
inline MemoryFile OpenText(std::string& text) {
  // fmemopen refuses an empty buffer on some C libraries; /dev/null is as empty.
  if (text.empty()) return MemoryFile(std::fopen("/dev/null", "rb"));
  return MemoryFile(fmemopen(&text[0], text.size(), "rb"));
}

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A broken promise of the code under test: reported with the reason, then
// abort() so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = std::string()) {
  std::fprintf(stderr, "fuzz check failed: %s", what);
  if (!detail.empty()) std::fprintf(stderr, " [%s]", detail.c_str());
  std::fputc('\n', stderr);
  std::abort();
}

inline void Check(bool condition, const char* what, const std::string& detail = std::string()) {
  if (!condition) Fail(what, detail);
}

}  // namespace fuzz
