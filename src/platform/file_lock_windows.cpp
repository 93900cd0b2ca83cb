#include "platform/file_lock.h"
#include "platform/windows_names.h"

namespace fennick {

FileLock::~FileLock() {
  if (handle == -1) return;
  const HANDLE file = reinterpret_cast<HANDLE>(handle);
  OVERLAPPED whole = {};
  UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  CloseHandle(file);
}

bool FileLock::Acquire(const std::string& nativePath, int waitMilliseconds, std::string& why) {
  // The reparse point itself is opened, never what it leads to.
  const HANDLE file = CreateFileW(WideName(nativePath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    folderMissing = error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
    why = SystemReason(error);
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    CloseHandle(file);
    why = "not a plain file";
    return false;
  }
  // A lock on one handle excludes every other handle, in this process or
  // another. Tried and retried rather than waited for without end.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMilliseconds);
  for (;;) {
    OVERLAPPED whole = {};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) break;
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION || GetTickCount64() >= deadline) {
      CloseHandle(file);
      why = error == ERROR_LOCK_VIOLATION ? "held by another run too long" : SystemReason(error);
      return false;
    }
    Sleep(1);
  }
  handle = reinterpret_cast<intptr_t>(file);
  return true;
}

}  // namespace fennick
