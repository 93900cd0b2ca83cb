#include <windows.h>

#include "platform/windows_names.h"
#include "test_links.h"

namespace fennick {

// A symbolic link needs no privilege in developer mode; where it was not
// made (or only claimed, as Wine 8 does), there is none.
bool MakeDirectoryLink(const std::string& target, const std::string& link) {
  const std::wstring name = WideName(link);
  CreateSymbolicLinkW(name.c_str(), WideName(target).c_str(),
                      SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* allow unprivileged create */);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool GiveToAnotherUser(const std::string&) { return false; }

}  // namespace fennick
