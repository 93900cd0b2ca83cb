// The two function modules through the NetWeaver library: the function's
// description, the function, the invoke, and the fields read back.
#pragma once

#include <string>
#include <vector>

#include "rfc/backend.h"
#include "rfc/netweaver/nw_state.h"

namespace fennick {

// RFC_SYSTEM_INFO: RFCDBSYS of the export structure RFCSI_EXPORT, trimmed
// on the right.
StepResult NwSystemInfo(NwState& state, NwConnection connection, RfcWork& work, std::string& databaseSystem);

// DB_ORA_CURRENT_SIZES: the rows of table TS.
StepResult NwTablespaceRows(NwState& state, NwConnection connection, RfcWork& work, std::vector<TablespaceRow>& rows);

}  // namespace fennick
