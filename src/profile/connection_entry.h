// The connection entry of one SAP system, read from its profile.
#pragma once

#include <cstdio>
#include <string>

#include "profile/failure.h"
#include "profile/password.h"
#include "profile/system_entry.h"

namespace fennick {

enum class EntryProblem { None, BadPasswordForm, WrongPassword, NoUser, NoPassword, ShortField };

struct EntryReading {
  SystemEntry entry;
  EntryProblem problem = EntryProblem::None;
};

// Reads keyed lines of at most `lineLimit` characters. With
// `stopAtPasswordProblem` the reading ends at a password that fails its
// checks, the rest of the file unread; otherwise the first problem is kept
// and the reading goes on.
EntryReading ReadConnectionEntry(std::FILE* file, size_t lineLimit, const PasswordKey& key, bool stopAtPasswordProblem);

// Single-profile run: reads the open profile into `entry`; a problem ends
// the run with its message, which names the profile.
Failure ReadSingleProfileEntry(std::FILE* file, const PasswordKey& key, const std::string& profileName,
                               SystemEntry& entry);

// Item run: reads a listed profile into `entry`, cleared first so that no
// value carries over from the system before. Returns '.' when the entry is
// complete, 'X' otherwise.
char ReadListedProfileEntry(std::FILE* file, const PasswordKey& key, SystemEntry& entry);

}  // namespace fennick
