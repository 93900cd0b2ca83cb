#include "rfc/tablespace_call.h"

#include "driver/run_state.h"
#include "driver/trace_lines.h"
#include "rfc/records.h"

namespace fennick {

int CallTablespaceSizes(RunState& rs, RFC_HANDLE handle, RFC_ITAB table, TablespaceReply& reply) {
  RFC_TYPEHANDLE dateTime = InstallStructure(rs, rs.structures.dateTime);
  RFC_TYPEHANDLE row = InstallStructure(rs, rs.structures.tableXpc);
  RfcTable tables[] = {
      Table("TS", row, kTablespaceRowSize, table),
      EndOfTables(),
  };
  RfcParameter none[] = {EndOfParameters()};
  int result = rs.rfc.RfcCall(handle, const_cast<char*>("DB_ORA_CURRENT_SIZES"), none, tables);
  traceLine(rs, handle, "RfcCall called", "");
  if (result != 0) return result;

  RfcParameter importing[] = {
      Parameter("CURR_DATE", RFC_TYPE_DATE, 8, reply.currentDate),
      Parameter("CURR_TIME", RFC_TYPE_TIME, 6, reply.currentTime),
      Parameter("DATETIME", dateTime, kDateTimeSize, reply.dateTime),
      EndOfParameters(),
  };
  char* exception = nullptr;
  result = rs.rfc.RfcReceive(handle, importing, tables, &exception);
  traceLine(rs, handle, "RfcReceive called", "");
  if ((result == 2 || result == 3) && exception) reply.exception = exception;
  return result;
}

}  // namespace fennick
