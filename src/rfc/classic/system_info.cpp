#include "rfc/classic/system_info.h"

#include <cstring>

#include "rfc/classic/classic_state.h"
#include "rfc/classic/error_handler.h"
#include "rfc/classic/records.h"

namespace fennick {

int CallSystemInfo(ClassicState& state, RFC_HANDLE handle, RfcWork& work, SystemInfoReply& reply) {
  RFC_TYPEHANDLE rfcsi = InstallStructure(state.library, state.structures.rfcsi);
  RfcParameter none[] = {EndOfParameters()};
  RfcTable noTables[] = {EndOfTables()};
  int result = state.library.RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), none, noTables);
  NoteStep(work, handle != 0, "RfcCall called", "");
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
  result = state.library.RfcReceive(handle, importing, noTables, &exception);
  NoteStep(work, handle != 0, "RfcReceive called", "");
  if ((result == 2 || result == 3) && exception) reply.exception = exception;
  return result;
}

StepResult ReadSystemInfo(ClassicState& state, RFC_HANDLE handle, RfcWork& work, std::string& databaseSystem) {
  SystemInfoReply reply;
  int result = CallSystemInfo(state, handle, work, reply);
  if (result == 0) {
    const char* dbsys = reinterpret_cast<const char*>(reply.systemRecord + kRfcsiDbsysOffset);
    databaseSystem.assign(dbsys, strnlen(dbsys, kRfcsiDbsysLength));
  }
  return StepResult{result, reply.exception};
}

}  // namespace fennick
