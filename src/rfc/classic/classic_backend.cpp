#include "rfc/classic/classic_backend.h"

#include "rfc/classic/classic_state.h"
#include "rfc/classic/error_handler.h"
#include "rfc/classic/logon.h"
#include "rfc/classic/system_info.h"
#include "rfc/classic/tablespace_rows.h"
#include "rfc/classic/trace_file.h"

namespace fennick {

namespace {

ClassicState& State(void* state) { return *static_cast<ClassicState*>(state); }

RFC_HANDLE Handle(RfcConnectionId connection) { return static_cast<RFC_HANDLE>(connection); }

void Prepare(void* state, bool traced) {
  // The library may keep the record's address, so it outlives every call.
  static RfcEnvironmentRecord environment{RfcErrorHandler, nullptr};
  ClassicState& s = State(state);
  s.library.RfcEnvironment(&environment);
  if (traced) traceLine(*s.trace, 0, "RfcEnvironment called", "");
}

RfcConnectionId LogOn(void* state, const LogonRequest& request) { return OpenConnection(State(state), request); }

// The library hands nothing over: its reason is in its trace file.
std::string LogonFailureText(void*) { return std::string(); }

StepResult SystemInfo(void* state, RfcConnectionId connection, std::string& databaseSystem) {
  return ReadSystemInfo(State(state), Handle(connection), databaseSystem);
}

StepResult TablespaceRows(void* state, RfcConnectionId connection, std::vector<TablespaceRow>& rows) {
  return FetchTablespaceRows(State(state), Handle(connection), rows);
}

void Close(void* state, RfcConnectionId connection) {
  ClassicState& s = State(state);
  DeleteRowTable(s);
  if (connection != 0) s.library.RfcClose(Handle(connection));
}

std::string FailureText(void*) { return TraceErrorText(); }

const RfcBackendOps kClassicOps = {
    "classic", Prepare, LogOn, LogonFailureText, SystemInfo, TablespaceRows, Close, FailureText, LibraryTraceFiles,
};

}  // namespace

std::optional<std::string> MakeClassicBackend(void* library, TraceLog& trace, RfcBackend& backend) {
  auto state = std::make_shared<ClassicState>();
  if (std::optional<std::string> problem = ResolveClassicLibrary(library, state->library)) return problem;
  state->trace = &trace;
  SetErrorHandlerLibrary(&state->library);
  backend.ops = &kClassicOps;
  backend.state = state;
  return std::nullopt;
}

}  // namespace fennick
