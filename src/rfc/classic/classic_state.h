// What the classic back end keeps for the run: the bound library, the
// logon records the library reads, the installed structures, and the row
// table of the last tablespace call.
#pragma once

#include "rfc/classic/classic_library.h"
#include "rfc/classic/logon_records.h"
#include "rfc/classic/structures.h"
#include "rfc/classic/trace_file.h"

namespace fennick {

struct ClassicState {
  RfcLibrary library;
  // Where the library keeps its parameter copy and trace: empty for the
  // working directory, else a directory ending in a separator.
  std::string filesDirectory;
  LogonRecords logon;
  StructureSet structures;
  // Deleted when the connection is closed, after the rows were written out,
  // as the library's table lived through the evaluation.
  RFC_ITAB rowTable = nullptr;
  // Where the trace file ended before the last logon.
  TraceMark logonMark;
};

}  // namespace fennick
