// The classic library's files kept private to the run: a workspace of its
// own that RFC_TRACE_DIR and RFC_INI point at, and the publishing of what
// the library wrote there in the working folder, where administrators read
// it.
#pragma once

#include <string>
#include <vector>

#include "rfc/backend.h"
#include "rfc/classic/classic_state.h"

namespace fennick {

bool OpenClassicWorkspace(ClassicState& state, std::string& why);
LibraryFiles TakeClassicFiles(ClassicState& state);
std::vector<std::string> PublishClassicFiles(const ClassicState& state, const LibraryFiles& files);
void CloseClassicWorkspace(ClassicState& state);

// Where the workspace's trace ends as far as its lines have been taken.
TraceMark TakenMark(const ClassicState& state);

}  // namespace fennick
