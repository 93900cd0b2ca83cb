#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace fennick {

FilePtr OpenForRead(const std::string& nativePath) {
  FilePtr file(std::fopen(nativePath.c_str(), "rb"));
  if (!file) return file;
  struct _stat info;
  if (_fstat(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFDIR)) file.reset();
  return file;
}

FilePtr OpenForWrite(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "wb")); }

FilePtr OpenForAppend(const std::string& nativePath) { return FilePtr(std::fopen(nativePath.c_str(), "ab")); }

// The monitor reads the same bytes on every platform: lines end in LF.
void PrepareStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace fennick
