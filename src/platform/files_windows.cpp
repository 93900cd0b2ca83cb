#include "platform/files.h"

#include <sys/stat.h>

namespace fennick {

FilePtr OpenForRead(const std::string& nativePath) {
  FilePtr file(std::fopen(nativePath.c_str(), "rb"));
  if (!file) return file;
  struct _stat info;
  if (_fstat(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFDIR)) file.reset();
  return file;
}

bool FileExists(const std::string& nativePath) {
  struct _stat info;
  return _stat(nativePath.c_str(), &info) == 0 && (info.st_mode & _S_IFREG);
}

FilePtr OpenForWrite(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "wb")); }

FilePtr OpenForAppend(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "ab")); }

}  // namespace fennick
