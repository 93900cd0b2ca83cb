// Opening files the way the program needs them. No file the program opens
// is passed on to a child process.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace fennick {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for binary reading; a directory or anything that
// cannot be read counts as not there.
FilePtr OpenForRead(const std::string& nativePath);

// The same; where something is there that cannot be opened (no permission,
// a directory) `why` gets the system's short reason ("Permission denied"),
// else it is left empty.
FilePtr OpenForRead(const std::string& nativePath, std::string& why);

// Whether a regular file is there, without opening it.
bool FileExists(const std::string& nativePath);

// Creates or truncates a file for binary writing.
FilePtr OpenForWrite(const std::string& nativePath);

// Opens a file for appending: every write lands at the file's end as it is
// then, whatever other processes have appended meanwhile.
FilePtr OpenForAppend(const std::string& nativePath);

// Appends `bytes` to a file from OpenForAppend with one append of the
// system (on Windows under the file's lock), bypassing the stream's buffer,
// which must hold nothing, so that the appends of processes side by side
// never cut into each other. False when not all of it could be written.
bool AppendToFile(std::FILE* file, const std::string& bytes);

// Appends `bytes` to a file, created when missing, as one block: under an
// exclusive lock of the file, so that blocks appended side by side by other
// runs never mix with it. False, with the system's short reason in `why`
// ("Permission denied"), when it cannot.
bool AppendUnderLock(const std::string& nativePath, const std::string& bytes, std::string& why);

// Replaces a file as a whole: the bytes are written under a unique name in
// the same folder, which is then renamed over the file, so a reader sees
// the old file or the new one, never a part. False, with the reason in
// `why`, when it cannot; nothing of the attempt stays behind.
bool ReplaceWhole(const std::string& nativePath, const std::string& bytes, std::string& why);

// Whether ReplaceWhole could replace the file now: a new file can be made in
// its folder, and the name is not a folder or a file that may not be
// written. False, with the reason in `why`, when not; nothing of the try
// stays behind.
bool CanReplaceWhole(const std::string& nativePath, std::string& why);

}  // namespace fennick
