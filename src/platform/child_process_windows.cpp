#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/child_process.h"

namespace fennick {

namespace {

// Children are made one at a time: their ends of the pipes are inheritable
// only for that moment, so that no child inherits another's.
SRWLOCK g_startLock = SRWLOCK_INIT;

// The children's job: closed with the parent, it ends every child, even
// when the parent itself is killed.
HANDLE ChildJob() {
  static HANDLE job = [] {
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    if (created) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
      std::memset(&limits, 0, sizeof limits);
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return created;
  }();
  return job;
}

bool Replaced(const char* entry, const EnvironmentValues& environment) {
  for (const auto& value : environment) {
    const std::string& name = value.first;
    if (_strnicmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=') return true;
  }
  return false;
}

std::vector<char> EnvironmentBlock(const EnvironmentValues& environment) {
  std::vector<char> block;
  if (char* strings = GetEnvironmentStringsA()) {
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
      if (!Replaced(entry, environment)) block.insert(block.end(), entry, entry + std::strlen(entry) + 1);
    }
    FreeEnvironmentStringsA(strings);
  }
  for (const auto& value : environment) {
    const std::string text = value.first + "=" + value.second;
    block.insert(block.end(), text.begin(), text.end());
    block.push_back('\0');
  }
  block.push_back('\0');
  return block;
}

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

bool StartChildProcess(const std::string& program, const EnvironmentValues& environment, ChildProcess& child) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  HANDLE inputRead = nullptr, inputWrite = nullptr, outputRead = nullptr, outputWrite = nullptr;
  if (!CreatePipe(&inputRead, &inputWrite, &attributes, 0)) return false;
  if (!CreatePipe(&outputRead, &outputWrite, &attributes, 0)) {
    CloseHandle(inputRead);
    CloseHandle(inputWrite);
    return false;
  }
  HANDLE nothing = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, OPEN_EXISTING, 0,
                               nullptr);
  std::vector<char> block = EnvironmentBlock(environment);
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inputRead;
  startup.hStdOutput = outputWrite;
  startup.hStdError = nothing;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  AcquireSRWLockExclusive(&g_startLock);
  SetHandleInformation(inputRead, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  SetHandleInformation(outputWrite, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  if (nothing != INVALID_HANDLE_VALUE) SetHandleInformation(nothing, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  const BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED | CREATE_NO_WINDOW, block.data(), nullptr, &startup, &process);
  ReleaseSRWLockExclusive(&g_startLock);
  CloseHandle(inputRead);
  CloseHandle(outputWrite);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  if (!started) {
    CloseHandle(inputWrite);
    CloseHandle(outputRead);
    return false;
  }
  if (HANDLE job = ChildJob()) AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  child.process = reinterpret_cast<intptr_t>(process.hProcess);
  child.input = reinterpret_cast<intptr_t>(inputWrite);
  child.output = reinterpret_cast<intptr_t>(outputRead);
  return true;
}

bool WriteToChild(const ChildProcess& child, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(Handle(child.input), bytes.data() + written, static_cast<DWORD>(bytes.size() - written), &n,
                   nullptr) ||
        n == 0)
      return false;
    written += n;
  }
  return true;
}

bool ReadFromChild(const ChildProcess& child, std::string& bytes) {
  char buffer[16384];
  DWORD n = 0;
  if (!ReadFile(Handle(child.output), buffer, sizeof buffer, &n, nullptr) || n == 0) return false;
  bytes.append(buffer, n);
  return true;
}

void KillChild(const ChildProcess& child) {
  if (!child.process) return;
  TerminateProcess(Handle(child.process), 1);
  WaitForSingleObject(Handle(child.process), INFINITE);
}

void WaitForChild(ChildProcess& child) {
  if (child.input != -1) CloseHandle(Handle(child.input));
  if (child.output != -1) CloseHandle(Handle(child.output));
  child.input = child.output = -1;
  if (child.process) {
    WaitForSingleObject(Handle(child.process), INFINITE);
    CloseHandle(Handle(child.process));
  }
  child.process = 0;
}

namespace {

// The directories of a run whose process is gone: the job object ended
// its children at once, with no chance to clean up.
void RemoveOrphanedDirectories(const std::string& base) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "fennick-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const DWORD owner = std::strtoul(found.cFileName + 8, nullptr, 10);
    if (owner == 0 || owner == GetCurrentProcessId()) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
    const bool gone = !process || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    if (gone) RemoveDirectoryTree(base + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string MakePrivateDirectory() {
  char base[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof base, base);
  if (length == 0 || length > MAX_PATH) return std::string();
  // Once a run; the group run makes its directories one at a time.
  static bool swept = false;
  if (!swept) {
    swept = true;
    RemoveOrphanedDirectories(base);
  }
  // The user's own temporary folder is not readable by other users.
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = std::string(base) + "fennick-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(InterlockedIncrement(&counter)) + "-" + std::to_string(GetTickCount());
    if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

void RemoveDirectoryTree(const std::string& path) {
  if (path.empty()) return;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string inner = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryTree(inner);
      } else {
        DeleteFileA(inner.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

void PrepareChildStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace fennick
