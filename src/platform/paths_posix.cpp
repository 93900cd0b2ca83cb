#include <unistd.h>

#include <cctype>
#include <vector>

#include "platform/paths.h"

namespace fennick {

std::string NativePath(const std::string& path, const std::string& driveRoot) {
  std::string p = path;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  // A drive letter means nothing here; the rest of the path is what counts.
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    p.erase(0, 2);
  }
  if (p.empty() || p[0] != '/') return p;  // relative: below the working directory
  std::string root = driveRoot.empty() ? "/" : driveRoot;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root == "/") return p;
  return root + p;
}

std::string OwnExecutablePath(const char* argv0) {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return argv0 ? argv0 : "";
    if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string NativeDirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DirectoryPrefix(const std::string& directory) {
  return directory.empty() || directory.back() == '/' ? directory : directory + "/";
}

const char* RfcLibraryFileName() { return "librfccm.so"; }

const char* NetWeaverLibraryFileName() { return "libsapnwrfc.so"; }

}  // namespace fennick
