#include <windows.h>

#include <vector>

#include "platform/paths.h"
#include "platform/windows_names.h"

namespace fennick {

// Windows reads the program's paths as they are written.
std::string NativePath(const std::string& path, const std::string&) { return path; }

std::string ProgramPathOf(const std::string& nativePath, const std::string&) { return nativePath; }

// Wide, then UTF-8: the program's folder need not be one the ANSI code
// page can spell.
std::string OwnExecutablePath(const char* argv0) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || buffer.size() > 32768) return argv0 ? argv0 : "";
    if (n < buffer.size()) return Utf8Name(std::wstring(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

std::string NativeDirectoryOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string DirectoryPrefix(const std::string& directory) {
  return directory.empty() || directory.back() == '\\' || directory.back() == '/' ? directory : directory + "\\";
}

const char* RfcLibraryFileName() { return "librfc32.dll"; }

const char* NetWeaverLibraryFileName() { return "sapnwrfc.dll"; }

}  // namespace fennick
