#include <algorithm>

#include "platform/data_files.h"
#include "platform/windows_names.h"

namespace fennick {

PlainFileReader::~PlainFileReader() { Close(); }

void PlainFileReader::Close() {
  if (handle != -1) CloseHandle(reinterpret_cast<HANDLE>(handle));
  handle = -1;
}

ReadOutcome PlainFileReader::Open(const std::string& nativePath, size_t limit, std::string& why) {
  Close();
  // The reparse point itself is opened, never what it leads to; others may
  // still rename the file (the run that replaces it).
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
  handle = reinterpret_cast<intptr_t>(file);
  left = size;
  return ReadOutcome::Read;
}

long PlainFileReader::Read(char* buffer, size_t size, std::string& why) {
  // The end is known: no call to find it.
  if (left == 0) return 0;
  DWORD n = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(std::min<size_t>(size, 1u << 30), left));
  if (!ReadFile(reinterpret_cast<HANDLE>(handle), buffer, chunk, &n, nullptr)) {
    why = SystemReason(GetLastError());
    return -1;
  }
  left = n == 0 ? 0 : left - n;
  return static_cast<long>(n);
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
