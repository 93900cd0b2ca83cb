// The function modules the stand-in answers: what RfcReceive hands back for
// RFC_SYSTEM_INFO and DB_ORA_CURRENT_SIZES.
#pragma once

#include <map>
#include <string>

#include "rfc/classic/rfc_api.h"
#include "sim_clock.h"
#include "sim_config.h"
#include "sim_layout.h"
#include "sim_tables.h"
#include "sim_values.h"

namespace rfcsim {

using StructureSet = std::map<RFC_TYPEHANDLE, StructLayout>;

struct ReceiveResult {
  int code = 0;           // as RfcReceive returns it
  std::string exception;  // for 2 and 3
  std::string error;      // the last-error message for 1
};

// Fills the importing parameters and tables of `function` from `system`.
// Writes only into non-null addresses and never past a parameter's length
// or a table's row length. Unknown functions raise FUNCTION_NOT_FOUND.
ReceiveResult ReceiveFunction(const std::string& function, const SystemConfig& system, const StructureSet& structures,
                              TableSet& tables, RfcParameter* importing, RfcTable* tableList, const UtcStamp& now);

}  // namespace rfcsim
