// What the platform check needs of the file system beyond the program's own
// platform layer: links, and folders of another user.
#pragma once

#include <string>

namespace fennick {

// Makes `link` a link to the directory `target`; false where this system
// cannot (Wine 8 makes no links of its own).
bool MakeDirectoryLink(const std::string& target, const std::string& link);

// Gives `path` to another user; false where this process cannot.
bool GiveToAnotherUser(const std::string& path);

}  // namespace fennick
