// Child processes of the program itself, for the libraries that cannot be
// used from threads: each child measures one system with a library of its
// own. The parent writes to its standard input, which it keeps open as a
// lifeline, and reads its standard output to the end.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/private_directories.h"

namespace fennick {

struct ChildProcess {
  intptr_t process = 0;  // the process id or handle
  intptr_t input = -1;   // the parent's end of the child's standard input
  intptr_t output = -1;  // the parent's end of the child's standard output
};

using EnvironmentValues = std::vector<std::pair<std::string, std::string>>;

// Starts the running program itself without arguments, with the parent's
// environment but for `environment`, which replaces or adds values. The
// program is found by the system (/proc/self/exe, GetModuleFileNameW), so
// a program file moved during the run, or a folder name the ANSI code page
// cannot spell, still starts; `program` is only the fallback where the
// system cannot tell. The child gets its two pipes and the parent's
// standard error (NUL on Windows when the parent has none), and no other
// file or handle, so each child's pipes end with the child. Safe to call
// from several threads at once with no lock held. On Windows the children
// share a job object that ends them with the parent.
bool StartChildProcess(const std::string& program, const EnvironmentValues& environment, ChildProcess& child);

// Writes to the child's standard input; false when it is gone. A child that
// is gone never ends the parent (no SIGPIPE reaches it).
bool WriteToChild(const ChildProcess& child, const std::string& bytes);

// Appends what the child has written to its standard output, waiting for
// it; false once the child has closed it.
bool ReadFromChild(const ChildProcess& child, std::string& bytes);

// Ends the child at once and waits for its end; its handles stay until
// WaitForChild.
void KillChild(const ChildProcess& child);

// Closes the parent's ends of the child's pipes and waits for the child's
// end; its id stays its own until WaitForChild, so KillChild in the
// meantime never reaches another process.
void AwaitChildEnd(ChildProcess& child);

// Waits for the child's end and lets go of its handles.
void WaitForChild(ChildProcess& child);

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const std::string& name);

// In the child: standard input and output carry bytes unchanged, and a
// parent that is gone does not end the child by a signal, so that it still
// removes its directory.
void PrepareChildStreams();

// In the child: reads exactly `count` bytes from the parent; false when the
// parent closes before. Memory grows with what arrives, not with `count`.
bool ReadFromParent(size_t count, std::string& bytes);

// In the child: reads a line (without its end) from the parent; false for a
// line longer than any the parent sends.
bool ReadLineFromParent(std::string& line);

// In the child: writes to the parent and flushes.
void WriteToParent(const std::string& bytes);

// In the child: calls `onGone` on a thread of its own once the parent has
// closed its end of standard input, or has died.
bool WatchParent(void (*onGone)());

}  // namespace fennick
