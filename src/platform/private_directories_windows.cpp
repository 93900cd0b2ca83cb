#include <aclapi.h>
#include <ntsecapi.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/private_directories.h"
#include "platform/windows_names.h"

namespace fennick {

namespace {

const wchar_t kPrefix[] = L"fennick-";
const wchar_t kMarker[] = L"fennick.owner";
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring TemporaryBase() {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  std::wstring base(buffer, length);
  if (base.back() != L'\\') base += L'\\';
  return base;
}

bool RandomHex(std::wstring& hex) {
  unsigned char bytes[8];
  if (!RtlGenRandom(bytes, sizeof bytes)) return false;
  static const wchar_t digits[] = L"0123456789abcdef";
  hex.clear();
  for (unsigned char byte : bytes) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return true;
}

// The user this process runs as.
struct CurrentUser {
  std::vector<char> token;
  PSID sid() const { return reinterpret_cast<const TOKEN_USER*>(token.data())->User.Sid; }
};

bool FindCurrentUser(CurrentUser& user) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  user.token.assign(size, 0);
  const bool found = size > 0 && GetTokenInformation(token, TokenUser, user.token.data(), size, &size);
  CloseHandle(token);
  return found;
}

// Owned by the user, who alone has access, to the directory and whatever is
// made in it; nothing of the temporary folder's access list is inherited.
struct PrivateSecurity {
  CurrentUser user;
  std::vector<char> acl;
  SECURITY_DESCRIPTOR descriptor;
};

bool MakePrivateSecurity(PrivateSecurity& security) {
  if (!FindCurrentUser(security.user)) return false;
  const PSID sid = security.user.sid();
  security.acl.assign(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid), 0);
  auto* acl = reinterpret_cast<PACL>(security.acl.data());
  return InitializeAcl(acl, static_cast<DWORD>(security.acl.size()), ACL_REVISION) &&
         AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS, sid) &&
         InitializeSecurityDescriptor(&security.descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorOwner(&security.descriptor, sid, FALSE) &&
         SetSecurityDescriptorDacl(&security.descriptor, TRUE, acl, FALSE) &&
         SetSecurityDescriptorControl(&security.descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

// When the process started; with the process id it names one process for
// good, as ids are used again.
std::string StartTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return "-";
  return std::to_string((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

struct Owner {
  DWORD pid = 0;
  std::string started;
};

bool ReadMarker(const std::wstring& directory, Owner& owner) {
  HANDLE file = CreateFileW((directory + L"\\" + kMarker).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[128];
  DWORD n = 0;
  const bool read = ReadFile(file, buffer, sizeof buffer - 1, &n, nullptr) && n > 0;
  CloseHandle(file);
  if (!read) return false;
  buffer[n] = '\0';
  unsigned long pid = 0;
  char started[64];
  if (std::sscanf(buffer, "fennick %lu %63s", &pid, started) != 2 || pid == 0) return false;
  owner.pid = pid;
  owner.started = started;
  return true;
}

bool WriteMarker(const std::wstring& directory) {
  HANDLE file = CreateFileW((directory + L"\\" + kMarker).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string text =
      "fennick " + std::to_string(GetCurrentProcessId()) + " " + StartTime(GetCurrentProcess()) + "\n";
  DWORD n = 0;
  const bool written = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &n, nullptr) && n == text.size();
  return CloseHandle(file) && written;
}

// This process's own: its id alone is not enough, as Wine in particular
// soon gives a new process the id of one that ended.
bool IsOwn(const Owner& owner) {
  return owner.pid == GetCurrentProcessId() &&
         (owner.started == "-" || owner.started == StartTime(GetCurrentProcess()));
}

// Gone: no such process, or it has ended, or its id now names a process
// that started at another time. Any other failure to look (another user's
// process, say) is not proof.
bool ProcessGone(const Owner& owner) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, owner.pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  if (!gone && owner.started != "-") {
    const std::string started = StartTime(process);
    gone = started != "-" && started != owner.started;
  }
  CloseHandle(process);
  return gone;
}

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether the directory itself (not what a link would lead to) is owned by
// the user.
bool OwnedBy(const std::wstring& directory, const CurrentUser& user) {
  HANDLE handle = CreateFileW(directory.c_str(), READ_CONTROL, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const bool owned = GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                     nullptr, &descriptor) == ERROR_SUCCESS &&
                     owner && EqualSid(owner, user.sid());
  if (descriptor) LocalFree(descriptor);
  CloseHandle(handle);
  return owned;
}

// Where a name really leads, as "\\?\C:\..." in long names; empty when it
// cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::wstring();
  std::vector<wchar_t> buffer(MAX_PATH);
  std::wstring final;
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n > 0 && n < buffer.size()) final.assign(buffer.data(), n);
    if (n < buffer.size() || buffer.size() > 32768) break;
    buffer.resize(n + 1);
  }
  CloseHandle(handle);
  while (!final.empty() && final.back() == L'\\') final.pop_back();
  return final;
}

// Whether `name` in the directory whose final path is `directory` is the
// entry itself. Windows opens a link itself here; Wine shows a Unix
// symbolic link as what it leads to, and deletes that through it, so such
// an entry is not removed at all. Where the file system does not tell,
// the reparse-point attribute has the say.
bool IsItself(const std::wstring& path, const std::wstring& directory, const std::wstring& name) {
  const std::wstring final = FinalPath(path);
  return final.empty() || directory.empty() || _wcsicmp(final.c_str(), (directory + L"\\" + name).c_str()) == 0;
}

void RemoveEntry(const std::wstring& path, const std::wstring& directory, const std::wstring& name, DWORD attributes);

// Removes what the folder at `path` (final path `final`) holds but an entry
// named `keep`; true when nothing else is left. A file still open in a
// process that ends is only gone once it has ended, and still counts.
bool RemoveContents(const std::wstring& path, const std::wstring& final, const wchar_t* keep) {
  for (int pass = 0; pass < 2; ++pass) {
    bool left = false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L".." || (keep && name == keep)) continue;
      left = true;
      if (pass == 0) RemoveEntry(path + L"\\" + name, final, name, found.dwFileAttributes);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (!left) return true;
  }
  return false;
}

// Removes `name` from the directory whose final path is `directory`: a
// link (junction, symbolic link, any reparse point) as itself, its target
// untouched; a directory emptied first.
void RemoveEntry(const std::wstring& path, const std::wstring& directory, const std::wstring& name, DWORD attributes) {
  if (!IsItself(path, directory, name)) return;
  if (IsLink(attributes)) {
    if (!RemoveDirectoryW(path.c_str())) DeleteFileW(path.c_str());
    return;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  RemoveContents(path, directory + L"\\" + name, nullptr);
  RemoveDirectoryW(path.c_str());
}

// A folder without a marker to read: a removal cut short between the
// marker and the folder leaves it empty, a process killed between creating
// the marker and writing it leaves the empty marker alone in it. Nothing
// else can be in it, so nothing can be lost. It goes once the process its
// name gives is gone, or started after the folder last changed, so is not
// its maker (ids are soon used again).
bool EmptyLeftover(const std::wstring& path, const WIN32_FIND_DATAW& folder) {
  const DWORD pid = std::wcstoul(folder.cFileName + (sizeof kPrefix / sizeof kPrefix[0] - 1), nullptr, 10);
  if (pid == 0 || !IsItself(path, FinalPath(path.substr(0, path.find_last_of(L'\\') + 1)), folder.cFileName)) {
    return false;
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && name != kMarker) empty = false;
  } while (empty && FindNextFileW(search, &found));
  FindClose(search);
  if (!empty) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  FILETIME created, exited, kernel, user;
  const bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ||
                    (GetProcessTimes(process, &created, &exited, &kernel, &user) &&
                     CompareFileTime(&created, &folder.ftLastWriteTime) > 0);
  CloseHandle(process);
  return gone;
}

// A private directory with all in it; a link in its place is left alone.
// The marker goes last, and only with everything else: a directory that
// could not be emptied (a file still open in a child that is ending, say)
// stays one that a later sweep recognises.
void RemoveTree(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FindClose(search);
  const std::wstring directory = FinalPath(path.substr(0, separator + 1));
  const std::wstring name = found.cFileName;
  if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsLink(found.dwFileAttributes) ||
      !IsItself(path, directory, name)) {
    return;
  }
  // A file still open in a child that is ending goes a moment later.
  for (int attempt = 0; !RemoveContents(path, directory + L"\\" + name, kMarker); ++attempt) {
    if (attempt == 10) return;
    Sleep(10);
  }
  DeleteFileW((path + L"\\" + kMarker).c_str());
  RemoveDirectoryW(path.c_str());
}

}  // namespace

std::string MakePrivateDirectory() {
  const std::wstring base = TemporaryBase();
  PrivateSecurity security;
  if (base.empty() || !MakePrivateSecurity(security)) return std::string();
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &security.descriptor, FALSE};
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::wstring hex;
    if (!RandomHex(hex)) return std::string();
    const std::wstring path = base + kPrefix + std::to_wstring(GetCurrentProcessId()) + L"-" + hex;
    if (!CreateDirectoryW(path.c_str(), &attributes)) {
      if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return std::string();
    }
    if (!WriteMarker(path)) {
      RemoveTree(path);
      return std::string();
    }
    // The library and the files' users take ANSI names: the short form of
    // a temporary folder the code page cannot spell, else none at all.
    std::string name;
    if (NarrowName(path, name)) return name;
    std::vector<wchar_t> shortName(32768);
    const DWORD n = GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (n > 0 && n < shortName.size() && NarrowName(std::wstring(shortName.data(), n), name)) return name;
    RemoveTree(path);
    return std::string();
  }
  return std::string();
}

void SweepOrphanedDirectories() {
  const std::wstring base = TemporaryBase();
  CurrentUser user;
  if (base.empty() || !FindCurrentUser(user)) return;
  std::vector<WIN32_FIND_DATAW> candidates;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((base + kPrefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(found.dwFileAttributes)) {
      candidates.push_back(found);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const WIN32_FIND_DATAW& candidate : candidates) {
    const std::wstring path = base + candidate.cFileName;
    Owner owner;
    if (IsLink(GetFileAttributesW(path.c_str())) || !OwnedBy(path, user)) continue;
    if (ReadMarker(path, owner)) {
      if (!IsOwn(owner) && ProcessGone(owner)) RemoveTree(path);
    } else if (EmptyLeftover(path, candidate)) {
      DeleteFileW((path + L"\\" + kMarker).c_str());
      RemoveDirectoryW(path.c_str());
    }
  }
}

void RemoveDirectoryTree(const std::string& path) {
  std::wstring wide = WideName(path);
  // A separator at the end would name what a link there leads to.
  while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
  if (!wide.empty()) RemoveTree(wide);
}

}  // namespace fennick
