// Child processes of the program itself, for the libraries that cannot be
// used from threads: each child measures one system with a library of its
// own. The parent writes to its standard input, which it keeps open as a
// lifeline, and reads its standard output to the end.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fennick {

struct ChildProcess {
  intptr_t process = 0;  // the process id or handle
  intptr_t input = -1;   // the parent's end of the child's standard input
  intptr_t output = -1;  // the parent's end of the child's standard output
};

using EnvironmentValues = std::vector<std::pair<std::string, std::string>>;

// Starts `program` without arguments, with the parent's environment but
// for `environment`, which replaces or adds values. No handle of another
// child is passed on, so each child's pipes end with the child. On Windows
// the children share a job object that ends them with the parent.
bool StartChildProcess(const std::string& program, const EnvironmentValues& environment, ChildProcess& child);

// Writes to the child's standard input; false when it is gone.
bool WriteToChild(const ChildProcess& child, const std::string& bytes);

// Appends what the child has written to its standard output, waiting for
// it; false once the child has closed it.
bool ReadFromChild(const ChildProcess& child, std::string& bytes);

// Ends the child at once and waits for its end; its handles stay until
// WaitForChild.
void KillChild(const ChildProcess& child);

// Waits for the child's end and lets go of its handles.
void WaitForChild(ChildProcess& child);

// A directory only this user may read, for one child's files; empty when
// none could be made.
std::string MakePrivateDirectory();

// Removes a directory with the files in it.
void RemoveDirectoryTree(const std::string& path);

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const std::string& name);

// In the child: standard input and output carry bytes unchanged.
void PrepareChildStreams();

// In the child: reads exactly `count` bytes from the parent; false when the
// parent closes before.
bool ReadFromParent(size_t count, std::string& bytes);

// In the child: reads a line (without its end) from the parent.
bool ReadLineFromParent(std::string& line);

// In the child: writes to the parent and flushes.
void WriteToParent(const std::string& bytes);

// In the child: calls `onGone` on a thread of its own once the parent has
// closed its end of standard input, or has died.
bool WatchParent(void (*onGone)());

}  // namespace fennick
