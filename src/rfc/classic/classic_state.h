// What the classic back end keeps for the run: the bound library, the
// logon records the library reads, the installed structures, and the row
// table of the last tablespace call.
#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "rfc/classic/classic_library.h"
#include "rfc/classic/logon_records.h"
#include "rfc/classic/structures.h"
#include "rfc/classic/trace_file.h"

namespace fennick {

struct ClassicState {
  RfcLibrary library;
  // Where the library keeps its parameter copy and trace: empty for the
  // working directory, else the run's private workspace, ending in a
  // separator.
  std::string filesDirectory;
  // Where its trace lines are published: the folder the user named with
  // RFC_TRACE_DIR when the run started, ending in a separator, or empty for
  // the working folder.
  std::string publishedTraceDirectory;
  // How much of each trace file in the workspace has been taken.
  std::vector<std::pair<std::string, long>> traceTaken;
  // Since the files were last taken; set by a logon while the budget's end
  // may look.
  std::atomic<bool> parameterCopyWritten{false};
  LogonRecords logon;
  StructureSet structures;
  // The row table of the tablespace call, deleted before the call returns
  // (or at the close, when the call never returned).
  RFC_ITAB rowTable = nullptr;
  // Where the trace file ended before the last logon.
  TraceMark logonMark;
};

}  // namespace fennick
