#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/windows_names.h"

namespace fennick {

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The handle is made here rather than by fopen: without security attributes
// it is not inheritable, so no child holds a file of ours. Others may still
// rename over the file while it is open (FILE_SHARE_DELETE).
FilePtr OpenStream(const std::string& nativePath, DWORD access, DWORD disposition, int flags, const char* mode) {
  HANDLE handle = CreateFileW(WideName(nativePath).c_str(), access, kShareAll, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FilePtr();
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    return FilePtr();
  }
  FilePtr file(_fdopen(fd, mode));
  if (!file) _close(fd);
  return file;
}

bool WriteAll(HANDLE handle, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    if (!WriteFile(handle, bytes.data() + written, chunk, &n, nullptr) || n == 0) return false;
    written += n;
  }
  return true;
}

// One block at the file's end, under an exclusive lock of the whole file:
// Windows itself puts each append whole, but Wine finds the end and writes
// there in two steps, and a block of many writes needs the lock anyway. A
// file system without locks still gets the block.
bool AppendLocked(HANDLE handle, const std::string& bytes) {
  OVERLAPPED whole = {};
  const bool locked = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
  const bool written = WriteAll(handle, bytes);
  const DWORD error = GetLastError();
  if (locked) UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
  SetLastError(error);
  return written;
}

// Locking wants read or write access; write access would write where the
// file pointer is, so read it is, beside the append.
const DWORD kAppendAccess = FILE_READ_DATA | FILE_APPEND_DATA | SYNCHRONIZE;

LONG g_replacements = 0;

// A new file beside `target` under a name no other run uses, open for
// writing; INVALID_HANDLE_VALUE with the last error set when none can be made.
HANDLE CreateBeside(const std::wstring& target, std::wstring& temporary, DWORD flags) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&g_replacements)) + L".new";
    handle = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return handle;
}

}  // namespace

// A directory does not open without FILE_FLAG_BACKUP_SEMANTICS: it counts as
// not there.
FilePtr OpenForRead(const std::string& nativePath) {
  return OpenStream(nativePath, GENERIC_READ, OPEN_EXISTING, _O_RDONLY | _O_BINARY, "rb");
}

FilePtr OpenForRead(const std::string& nativePath, std::string& why) {
  why.clear();
  FilePtr file = OpenForRead(nativePath);
  const DWORD error = GetLastError();
  const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
                      error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_BAD_PATHNAME ||
                      error == ERROR_INVALID_DRIVE || error == ERROR_BAD_NETPATH;
  if (!file && !absent) why = SystemReason(error);
  return file;
}

bool FileExists(const std::string& nativePath) {
  const DWORD attributes = GetFileAttributesW(WideName(nativePath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FilePtr OpenForWrite(const std::string& nativePath) {
  return OpenStream(nativePath, GENERIC_WRITE, CREATE_ALWAYS, _O_WRONLY | _O_BINARY, "wb");
}

// FILE_APPEND_DATA without FILE_WRITE_DATA: the system puts every write at
// the file's end, never where a seek left it.
FilePtr OpenForAppend(const std::string& nativePath) {
  return OpenStream(nativePath, kAppendAccess, OPEN_ALWAYS, _O_WRONLY | _O_APPEND | _O_BINARY, "ab");
}

bool AppendToFile(std::FILE* file, const std::string& bytes) {
  if (!file) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && AppendLocked(handle, bytes);
}

bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why) {
  HANDLE handle = CreateFileW(WideName(nativePath).c_str(), kAppendAccess, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    why = SystemReason(GetLastError());
    return false;
  }
  const bool written = AppendLocked(handle, bytes);
  const DWORD error = GetLastError();
  CloseHandle(handle);
  if (!written) why = SystemReason(error);
  return written;
}

bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why) {
  const std::wstring target = WideName(nativePath);
  std::wstring temporary;
  HANDLE handle = CreateBeside(target, temporary, 0);
  if (handle == INVALID_HANDLE_VALUE) {
    why = SystemReason(GetLastError());
    return false;
  }
  bool done = WriteAll(handle, bytes);
  DWORD error = GetLastError();
  CloseHandle(handle);
  // Another run renaming over the same file, or a reader that does not let
  // others rename it, holds it for a moment.
  for (int attempt = 0; done && attempt < 200; ++attempt) {
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) break;
    error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 199) {
      done = false;
      break;
    }
    Sleep(5);
  }
  if (!done) {
    DeleteFileW(temporary.c_str());
    why = SystemReason(error);
  }
  return done;
}

bool CanReplaceWhole(const std::string& nativePath, std::string& why) {
  const std::wstring target = WideName(nativePath);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  // MoveFileExW replaces neither a folder nor a read-only file.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    why = SystemReason(ERROR_DIRECTORY);
    return false;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    why = SystemReason(ERROR_ACCESS_DENIED);
    return false;
  }
  std::wstring temporary;
  HANDLE handle = CreateBeside(target, temporary, FILE_FLAG_DELETE_ON_CLOSE);
  if (handle == INVALID_HANDLE_VALUE) {
    why = SystemReason(GetLastError());
    return false;
  }
  CloseHandle(handle);
  return true;
}

}  // namespace fennick
