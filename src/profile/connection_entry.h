// The connection entry of one SAP system, read from its profile.
#pragma once

#include <cstdio>
#include <string>

#include "driver/run_state.h"

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

// Single-profile run: reads the open profile into rs.entry; a problem ends the run.
Failure ReadSingleProfileEntry(RunState& rs);

// Item run: reads a listed profile into rs.entry, cleared first so that no
// value carries over from the system before. Returns '.' when the entry is
// complete, 'X' otherwise.
char ReadListedProfileEntry(RunState& rs, std::FILE* file);

}  // namespace fennick
