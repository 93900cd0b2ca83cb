#include "platform/files.h"

#include <sys/stat.h>
#include <windows.h>

#include <string>

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

namespace fennick {

namespace {

std::string Reason() {
  const DWORD error = GetLastError();
  char text[256] = {0};
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                      sizeof text, nullptr)) {
    return "error " + std::to_string(error);
  }
  std::string reason = text;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
  return reason;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(file, bytes.data() + written, static_cast<DWORD>(bytes.size() - written), &n, nullptr) || n == 0) {
      return false;
    }
    written += n;
  }
  return true;
}

}  // namespace

bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why) {
  HANDLE file = CreateFileA(nativePath.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    why = Reason();
    return false;
  }
  OVERLAPPED whole = {};
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  const bool written = WriteAll(file, bytes);
  if (!written) why = Reason();
  if (locked) UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  CloseHandle(file);
  return written;
}

bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why) {
  static LONG counter = 0;
  const std::string temporary = nativePath + ".fennick-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(InterlockedIncrement(&counter));
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    why = Reason();
    return false;
  }
  bool done = WriteAll(file, bytes);
  if (!done) why = Reason();
  CloseHandle(file);
  if (done && !MoveFileExA(temporary.c_str(), nativePath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    why = Reason();
    done = false;
  }
  if (!done) DeleteFileA(temporary.c_str());
  return done;
}

}  // namespace fennick
