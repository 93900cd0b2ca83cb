// Opening files the way the program needs them.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace fennick {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for binary reading; a directory or anything that
// cannot be read counts as not there.
FilePtr OpenForRead(const std::string& nativePath);

// Whether a regular file is there, without opening it.
bool FileExists(const std::string& nativePath);

// Creates or truncates a file for binary writing.
FilePtr OpenForWrite(const std::string& nativePath);

// Opens a file for appending text lines.
FilePtr OpenForAppend(const std::string& nativePath);

}  // namespace fennick
