#include "rfc/classic/tablespace_call.h"

#include "rfc/classic/classic_state.h"
#include "rfc/classic/records.h"

namespace fennick {

int CallTablespaceSizes(ClassicState& state, RFC_HANDLE handle, RfcWork& work, RFC_ITAB table, TablespaceReply& reply) {
  RFC_TYPEHANDLE dateTime = InstallStructure(state.library, state.structures.dateTime);
  RFC_TYPEHANDLE row = InstallStructure(state.library, state.structures.tableXpc);
  RfcTable tables[] = {
      Table("TS", row, kTablespaceRowSize, table),
      EndOfTables(),
  };
  RfcParameter none[] = {EndOfParameters()};
  int result = state.library.RfcCall(handle, const_cast<char*>("DB_ORA_CURRENT_SIZES"), none, tables);
  NoteStep(work, handle != 0, "RfcCall called", "");
  if (result != 0) return result;

  RfcParameter importing[] = {
      Parameter("CURR_DATE", RFC_TYPE_DATE, 8, reply.currentDate),
      Parameter("CURR_TIME", RFC_TYPE_TIME, 6, reply.currentTime),
      Parameter("DATETIME", dateTime, kDateTimeSize, reply.dateTime),
      EndOfParameters(),
  };
  char* exception = nullptr;
  result = state.library.RfcReceive(handle, importing, tables, &exception);
  NoteStep(work, handle != 0, "RfcReceive called", "");
  if ((result == 2 || result == 3) && exception) reply.exception = exception;
  return result;
}

}  // namespace fennick
