// Names between the program's narrow strings and Windows' wide-character
// calls, and the system's reason for a failure. Windows builds only.
#pragma once

#include <windows.h>

#include <string>

namespace fennick {

// A name as the program holds it, for a wide call. Names from the command
// line and from UTF-16 files are UTF-8, and so are those of files written
// in UTF-8; a name that is no valid UTF-8 is in the ANSI code page (a file
// written by an ANSI editor), as the monitors' servers write it.
inline std::wstring WideName(const std::string& name) {
  if (name.empty()) return std::wstring();
  const int size = static_cast<int>(name.size());
  UINT page = CP_UTF8;
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
  if (length <= 0) {
    page = CP_ACP;
    length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
  }
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(page, 0, name.data(), size, &wide[0], length);
  return wide;
}

// A wide name as UTF-8, as the program holds names from wide sources.
inline std::string Utf8Name(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string name(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &name[0], length, nullptr, nullptr);
  return name;
}

// A wide name in the ANSI code page; false when that code page cannot
// spell it, for a name that would then lead elsewhere.
inline bool NarrowName(const std::wstring& wide, std::string& name) {
  name.clear();
  if (wide.empty()) return true;
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  name.assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &name[0], length,
                      nullptr, &lossy);
  return !lossy;
}

// The system's text for an error code, without its line end or full stop.
inline std::string SystemReason(DWORD error) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length && text ? std::string(text, length) : "Error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace fennick
