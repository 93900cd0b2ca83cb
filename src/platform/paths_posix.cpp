#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
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

namespace {

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  for (size_t start = 0; start < path.size();) {
    const size_t end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string WorkingDirectoryPath() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

std::string ProgramPathOf(const std::string& nativePath, const std::string& driveRoot) {
  if (nativePath.empty() || nativePath[0] != '/') return nativePath;
  std::string root = driveRoot.empty() ? "/" : driveRoot;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root == "/") return nativePath;
  if (nativePath.compare(0, root.size() + 1, root + "/") == 0) return nativePath.substr(root.size());
  // Outside the drive root: the way there from the working directory,
  // since relative paths stay as they are.
  const std::string working = WorkingDirectoryPath();
  if (working.empty()) return nativePath;
  const std::vector<std::string> from = Components(working), to = Components(nativePath);
  size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string path;
  for (size_t i = common; i < from.size(); ++i) path += "../";
  for (size_t i = common; i < to.size(); ++i) path += to[i] + "/";
  if (path.empty()) path = "./";
  if (nativePath.back() != '/' && path.size() > 1) path.pop_back();
  return path;
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
