// Paths as the program builds them (Windows style: backslashes, drive letters)
// and as the host file system wants them.
#pragma once

#include <string>

namespace fennick {

// Turns a path written the Windows way into one the host can open.
// driveRoot stands for the root of drive paths where the host has no drives.
std::string NativePath(const std::string& path, const std::string& driveRoot);

// A native path written the way the program writes paths, so that
// NativePath(result, driveRoot) leads to it again.
std::string ProgramPathOf(const std::string& nativePath, const std::string& driveRoot);

// Full path of the running program's own executable file.
std::string OwnExecutablePath(const char* argv0);

// The directory part of a native path, ending in a separator; empty if none.
std::string NativeDirectoryOf(const std::string& path);

// A directory as a prefix for the names in it: with a separator at its end.
std::string DirectoryPrefix(const std::string& directory);

// File name of the classic RFC library on this platform.
const char* RfcLibraryFileName();

// File name of the NetWeaver RFC library on this platform.
const char* NetWeaverLibraryFileName();

}  // namespace fennick
