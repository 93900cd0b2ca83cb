// DB_ORA_CURRENT_SIZES: the current sizes of the Oracle tablespaces.
#pragma once

#include <string>

#include "rfc/backend.h"
#include "rfc/classic/rfc_api.h"
#include "rfc/classic/structures.h"

namespace fennick {

struct ClassicState;

struct TablespaceReply {
  char currentDate[8] = {};
  char currentTime[6] = {};
  unsigned char dateTime[kDateTimeSize] = {};
  std::string exception;
};

// Fills the caller's table "TS" with one row per tablespace; returns the
// result code of the remote call.
int CallTablespaceSizes(ClassicState& state, RFC_HANDLE handle, RfcWork& work, RFC_ITAB table, TablespaceReply& reply);

}  // namespace fennick
