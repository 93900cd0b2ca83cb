// Private directories for the library's files of one run or one measuring
// child, and the sweep of those whose process died without removing them.
#pragma once

#include <string>

namespace fennick {

// A new directory that only this user may read, below the temporary folder
// (TMPDIR or /tmp; Windows: the user's temporary path), with a name nobody
// can guess: "fennick-<process id>-<16 random hex digits>". A marker inside
// names the process that made it, so that a later sweep can tell it is
// really ours and whether its maker is gone. Empty when none could be made.
std::string MakePrivateDirectory();

// Removes the private directories of processes that are really gone, and
// nothing else: only real directories (never a link, junction or other
// reparse point), owned by this user, holding our marker, never the calling
// process's own. A process that cannot be looked at counts as alive. An
// empty one without marker (a removal cut short) goes when the process its
// name gives is gone.
void SweepOrphanedDirectories();

// Removes a directory with everything in it. Links inside are removed as
// links, their targets untouched (on Wine, which deletes through them, they
// stay); a link in place of the directory itself is left alone. The marker
// goes last, only with everything else, so a directory that could not be
// emptied is left for a later sweep.
void RemoveDirectoryTree(const std::string& path);

}  // namespace fennick
