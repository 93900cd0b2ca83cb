#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/windows_names.h"

namespace fennick {

namespace {

// The children's job: closed with the parent, it ends every child, even
// when the parent itself is killed. The parent joins it too, so that each
// child is in it from its first moment: a parent killed inside
// CreateProcessW, before the new process's thread is let go, leaves no
// child suspended for good. Where the parent may not join (an older
// Windows that runs it in a job already), each child joins once started.
HANDLE ChildJob() {
  static HANDLE job = [] {
    HANDLE created = CreateJobObjectW(nullptr, nullptr);
    if (created) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
      std::memset(&limits, 0, sizeof limits);
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
      AssignProcessToJobObject(created, GetCurrentProcess());
    }
    return created;
  }();
  return job;
}

// The running program's own file, in wide characters: its folder's name
// need not be one the ANSI code page can spell.
std::wstring OwnProgram() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::wstring();
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    if (buffer.size() > 32768) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

bool Replaced(const wchar_t* entry, const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names) {
    if (_wcsnicmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == L'=') return true;
  }
  return false;
}

std::vector<wchar_t> EnvironmentBlock(const EnvironmentValues& environment) {
  std::vector<std::wstring> names;
  for (const auto& value : environment) names.push_back(WideName(value.first));
  std::vector<wchar_t> block;
  if (wchar_t* strings = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
      if (!Replaced(entry, names)) block.insert(block.end(), entry, entry + std::wcslen(entry) + 1);
    }
    FreeEnvironmentStringsW(strings);
  }
  for (const auto& value : environment) {
    const std::wstring text = WideName(value.first + "=" + value.second);
    block.insert(block.end(), text.begin(), text.end());
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

// An inheritable copy of `handle` for one child; the original stays as it is.
HANDLE InheritableCopy(HANDLE handle) {
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

// The child's standard error: the parent's own, else NUL.
HANDLE StandardErrorCopy(bool parentsOwn) {
  const HANDLE own = GetStdHandle(STD_ERROR_HANDLE);
  if (parentsOwn && own && own != INVALID_HANDLE_VALUE) {
    if (HANDLE copy = InheritableCopy(own)) return copy;
  }
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE nothing =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
  return nothing == INVALID_HANDLE_VALUE ? nullptr : nothing;
}

// Starts the program with exactly the three standard handles:
// the handle list keeps every other inheritable handle of the process (of
// another child started at the same moment, say) out of this child.
bool CreateChild(const std::wstring& program, HANDLE input, HANDLE output, HANDLE error,
                 std::vector<wchar_t>& environment, PROCESS_INFORMATION& process) {
  HANDLE handles[] = {input, output, error};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  bool started = false;
  if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof handles, nullptr,
                                nullptr)) {
    STARTUPINFOEXW startup;
    std::memset(&startup, 0, sizeof startup);
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = error;
    startup.lpAttributeList = attributes;
    std::wstring commandLine = L"\"" + program + L"\"";
    std::memset(&process, 0, sizeof process);
    started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                             CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
                             environment.data(), nullptr, &startup.StartupInfo, &process) != 0;
  }
  const DWORD failure = GetLastError();
  DeleteProcThreadAttributeList(attributes);
  SetLastError(failure);
  return started;
}

void CloseChildPipes(ChildProcess& child) {
  if (child.input != -1) CloseHandle(Handle(child.input));
  if (child.output != -1) CloseHandle(Handle(child.output));
  child.input = child.output = -1;
}

void CloseAll(std::initializer_list<HANDLE> handles) {
  for (HANDLE handle : handles) {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
}

}  // namespace

bool StartChildProcess(const std::string&, const EnvironmentValues& environment, ChildProcess& child) {
  const std::wstring program = OwnProgram();
  if (program.empty()) return false;
  const HANDLE job = ChildJob();
  // The parent's ends are never inheritable; the child's ends are copied
  // as inheritable for this child alone and closed once it has them.
  HANDLE inputRead = nullptr, inputWrite = nullptr, outputRead = nullptr, outputWrite = nullptr;
  if (!CreatePipe(&inputRead, &inputWrite, nullptr, 0)) return false;
  if (!CreatePipe(&outputRead, &outputWrite, nullptr, 0)) {
    CloseAll({inputRead, inputWrite});
    return false;
  }
  HANDLE childInput = InheritableCopy(inputRead);
  HANDLE childOutput = InheritableCopy(outputWrite);
  CloseAll({inputRead, outputWrite});
  std::vector<wchar_t> block = EnvironmentBlock(environment);
  PROCESS_INFORMATION process;
  HANDLE childError = StandardErrorCopy(true);
  bool started = childInput && childOutput && childError &&
                 CreateChild(program, childInput, childOutput, childError, block, process);
  // A console handle of old Windows cannot be in a handle list: NUL then.
  if (!started && childInput && childOutput && GetLastError() == ERROR_INVALID_PARAMETER) {
    CloseAll({childError});
    childError = StandardErrorCopy(false);
    started = childError && CreateChild(program, childInput, childOutput, childError, block, process);
  }
  CloseAll({childInput, childOutput, childError});
  if (!started) {
    CloseAll({inputWrite, outputRead});
    return false;
  }
  // Not started suspended by us: a child outside the job would stay so
  // for good if the parent were killed now. Running, it waits for its
  // request, written only once it is in the job, and ends at the end of
  // its input when the parent is gone before.
  if (job) AssignProcessToJobObject(job, process.hProcess);
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

void AwaitChildEnd(ChildProcess& child) {
  CloseChildPipes(child);
  if (child.process) WaitForSingleObject(Handle(child.process), INFINITE);
}

void WaitForChild(ChildProcess& child) {
  CloseChildPipes(child);
  if (child.process) {
    WaitForSingleObject(Handle(child.process), INFINITE);
    CloseHandle(Handle(child.process));
  }
  child.process = 0;
}

void PrepareChildStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace fennick
