#include <algorithm>

#include "platform/data_files.h"
#include "platform/windows_names.h"

namespace fennick {

ReadOutcome ReadPlainFile(const std::string& nativePath, size_t limit, std::string& bytes, std::string& why) {
  bytes.clear();
  // The reparse point itself is opened, never what it leads to.
  const HANDLE file =
      CreateFileW(WideName(nativePath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return ReadOutcome::Missing;
    why = SystemReason(error);
    return ReadOutcome::Failed;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    why = "not a plain file";
    return ReadOutcome::NotAFile;
  }
  const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (size > limit) {
    CloseHandle(file);
    why = "larger than " + std::to_string(limit) + " bytes";
    return ReadOutcome::TooLarge;
  }
  // One byte more than its size: a file that grew meanwhile shows itself.
  bytes.resize(static_cast<size_t>(size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got > limit) {
        CloseHandle(file);
        bytes.clear();
        why = "larger than " + std::to_string(limit) + " bytes";
        return ReadOutcome::TooLarge;
      }
      bytes.resize(std::min(got * 2, limit + 1));
    }
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
    if (!ReadFile(file, &bytes[got], chunk, &n, nullptr)) {
      why = SystemReason(GetLastError());
      CloseHandle(file);
      bytes.clear();
      return ReadOutcome::Failed;
    }
    if (n == 0) break;
    got += n;
  }
  CloseHandle(file);
  bytes.resize(got);
  return ReadOutcome::Read;
}

bool RenameFile(const std::string& nativePath, const std::string& newPath, std::string& why) {
  const std::wstring from = WideName(nativePath);
  const std::wstring to = WideName(newPath);
  // A reader that does not let others rename holds it for a moment.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 199) {
      why = SystemReason(error);
      return false;
    }
    Sleep(5);
  }
}

bool MakeFolder(const std::string& nativePath, std::string& why) {
  const std::wstring name = WideName(nativePath);
  if (!CreateDirectoryW(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    why = SystemReason(GetLastError());
    return false;
  }
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    why = "not a folder";
    return false;
  }
  return true;
}

}  // namespace fennick
