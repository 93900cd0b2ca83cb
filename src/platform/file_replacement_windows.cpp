#include <algorithm>

#include "platform/file_replacement.h"
#include "platform/windows_names.h"

namespace fennick {

namespace {

LONG g_replacements = 0;

}  // namespace

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const std::string& nativePath, std::string& why) {
  Abandon();
  target = nativePath;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = nativePath + "." + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(InterlockedIncrement(&g_replacements)) + ".new";
    // CREATE_NEW: never an existing file, nor through a link.
    file =
        CreateFileW(WideName(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    why = SystemReason(GetLastError());
    temporary.clear();
    return false;
  }
  handle = reinterpret_cast<intptr_t>(file);
  failed = false;
  return true;
}

void FileReplacement::Write(const std::string& bytes) {
  if (handle == -1 || failed) return;
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    if (!WriteFile(reinterpret_cast<HANDLE>(handle), bytes.data() + written, chunk, &n, nullptr) || n == 0) {
      failed = true;
      failure = SystemReason(GetLastError());
      return;
    }
    written += n;
  }
}

bool FileReplacement::Commit(std::string& why) {
  if (handle == -1) return false;
  CloseHandle(reinterpret_cast<HANDLE>(handle));
  handle = -1;
  const std::wstring from = WideName(temporary);
  const std::wstring to = WideName(target);
  // Another run renaming over the same file, or a reader that does not let
  // others rename it, holds it for a moment.
  for (int attempt = 0; !failed && attempt < 200; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      temporary.clear();
      return true;
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 199) {
      failed = true;
      failure = SystemReason(error);
      break;
    }
    Sleep(5);
  }
  DeleteFileW(from.c_str());
  temporary.clear();
  why = failure;
  return false;
}

void FileReplacement::Abandon() {
  if (handle != -1) CloseHandle(reinterpret_cast<HANDLE>(handle));
  handle = -1;
  if (!temporary.empty()) DeleteFileW(WideName(temporary).c_str());
  temporary.clear();
}

}  // namespace fennick
