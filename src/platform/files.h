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

// Appends the bytes in one write, under an exclusive lock of the file, so
// that the blocks of runs side by side never mix. False with the reason
// when the file cannot be written.
bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why);

// Writes the file whole: under a name of its own beside it, then renamed
// over it, so that a reader never sees half of it. False with the reason.
bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why);

}  // namespace fennick
