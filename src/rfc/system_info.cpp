#include "rfc/system_info.h"

#include <cstring>

#include "driver/run_state.h"
#include "driver/trace_lines.h"
#include "rfc/error_report.h"
#include "rfc/records.h"

namespace fennick {

int CallSystemInfo(RunState& rs, RFC_HANDLE handle, SystemInfoReply& reply) {
  RFC_TYPEHANDLE rfcsi = InstallStructure(rs, rs.structures.rfcsi);
  RfcParameter none[] = {EndOfParameters()};
  RfcTable noTables[] = {EndOfTables()};
  int result = rs.rfc.RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), none, noTables);
  traceLine(rs, handle, "RfcCall called", "");
  if (result != 0) return result;

  RfcParameter importing[] = {
      Parameter("CURRENT_RESOURCES", RFC_TYPE_INT, 4, &reply.currentResources),
      Parameter("DIALOG_USER_TYPE", RFC_TYPE_TEXT, 1, &reply.dialogUserType),
      Parameter("MAXIMAL_RESOURCES", RFC_TYPE_INT, 4, &reply.maximalResources),
      Parameter("RECOMMENDED_DELAY", RFC_TYPE_INT, 4, &reply.recommendedDelay),
      Parameter("RFCSI_EXPORT", rfcsi, kRfcsiSize, reply.systemRecord),
      Parameter("RFC_LOGIN_COMPLETE", RFC_TYPE_TEXT, 1, &reply.loginComplete),
      EndOfParameters(),
  };
  char* exception = nullptr;
  result = rs.rfc.RfcReceive(handle, importing, noTables, &exception);
  traceLine(rs, handle, "RfcReceive called", "");
  if ((result == 2 || result == 3) && exception) reply.exception = exception;
  return result;
}

int ReadSystemInfo(RunState& rs, RFC_HANDLE handle) {
  SystemInfoReply reply;
  int result = CallSystemInfo(rs, handle, reply);
  if (result == 0) {
    rs.resultCode = ResultCode::Ok;
    const char* dbsys = reinterpret_cast<const char*>(reply.systemRecord + kRfcsiDbsysOffset);
    rs.databaseSystem.assign(dbsys, strnlen(dbsys, kRfcsiDbsysLength));
  } else {
    AppendResultMessage(rs, result, reply.exception);
  }
  return result;
}

}  // namespace fennick
