// The rows of table TS as plain values: the table is created, filled by
// DB_ORA_CURRENT_SIZES and read here; it is deleted when the connection is
// closed.
#pragma once

#include <vector>

#include "rfc/backend.h"
#include "rfc/classic/rfc_api.h"

namespace fennick {

struct ClassicState;

// One 112-byte row of TABLE_XPC: TS at 0, STATUS at 52, TSIZE at 61 and
// TFREE at 69 (packed), TPCTUSED at 80, TSAU at 92, TSAUPCT at 108. A text
// field ends at its length or at a zero byte, whichever comes first.
TablespaceRow ReadTablespaceRow(const unsigned char* row);

// Creates the table, calls DB_ORA_CURRENT_SIZES and reads its rows. A table
// the library cannot create or a row it cannot hand over ends the process
// through the error handler.
StepResult FetchTablespaceRows(ClassicState& state, RFC_HANDLE handle, RfcWork& work, std::vector<TablespaceRow>& rows);

// Deletes the table of the last fetch, if any; a refusal ends the process
// through the error handler.
void DeleteRowTable(ClassicState& state);

}  // namespace fennick
