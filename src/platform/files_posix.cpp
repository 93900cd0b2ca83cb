#include "platform/files.h"

#include <sys/stat.h>

namespace fennick {

FilePtr OpenForRead(const std::string& nativePath) {
  FilePtr file(std::fopen(nativePath.c_str(), "rb"));
  if (!file) return file;
  // fopen opens directories here; they are never a readable file for us.
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) file.reset();
  return file;
}

bool FileExists(const std::string& nativePath) {
  struct stat info;
  return stat(nativePath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FilePtr OpenForWrite(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "wb")); }

FilePtr OpenForAppend(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "ab")); }

}  // namespace fennick
