#include "rfc/netweaver/nw_backend.h"

#include <cstdint>

#include "platform/files.h"
#include "platform/standard_output.h"
#include "rfc/netweaver/nw_calls.h"
#include "rfc/netweaver/nw_logon.h"
#include "rfc/netweaver/nw_state.h"
#include "rfc/netweaver/nw_text.h"

namespace fennick {

namespace {

NwState& State(void* state) { return *static_cast<NwState*>(state); }

NwConnection Connection(RfcConnectionId connection) { return reinterpret_cast<NwConnection>(connection); }

// The library has no environment to install and no error handler: every
// failure comes back as a result. The trace names the library's version.
void Prepare(void* state, bool traced) {
  NwState& s = State(state);
  if (!traced) return;
  unsigned major = 0, minor = 0, patch = 0;
  const NwChar* version = s.library.RfcGetVersion(&major, &minor, &patch);
  traceLine(*s.trace, 0, "RfcGetVersion called", version ? FromNwText(version, 64) : std::string());
}

NwLogonParameters LogonParameters(const LogonRequest& request) {
  const std::string fileName = "SapRfc." + request.entry.destination;
  FilePtr file = OpenForRead(fileName);
  if (!file) return EntryParameters(request);
  if (request.consoleReport) WriteStandardOutput("* SapRfc.Ini.......: " + request.entry.destination + "<\n");
  return FileParameters(request, fileName, ReadParameterFile(file.get()));
}

RfcConnectionId LogOn(void* state, const LogonRequest& request) {
  NwState& s = State(state);
  s.failure = NwFailure();
  s.connectionNumber = 0;
  NwLogonParameters parameters = LogonParameters(request);
  if (!parameters.refusal.empty()) {
    s.failure.code = NW_LOGON_FAILURE;
    s.failure.text = parameters.refusal;
    traceLine(*s.trace, 0, "RfcOpenConnection refused", parameters.refusal);
    return 0;
  }
  std::vector<std::vector<NwChar>> texts;
  for (const auto& value : parameters.values) {
    texts.push_back(ToNwText(value.first));
    texts.push_back(ToNwText(value.second));
  }
  std::vector<NwConnectionParameter> list;
  for (size_t i = 0; i < texts.size(); i += 2) list.push_back(NwConnectionParameter{texts[i].data(), texts[i + 1].data()});
  NwErrorInfo error{};
  NwConnection connection =
      s.library.RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
  if (connection) s.connectionNumber = ++s.connectionsOpened;
  traceLine(*s.trace, s.connectionNumber, "RfcOpenConnection called", "");
  if (!connection) Failed(s, error);
  return reinterpret_cast<RfcConnectionId>(connection);
}

// The library hands its reason over directly.
std::string LogonFailureText(void* state) { return FailureSuffix(State(state)); }

StepResult SystemInfo(void* state, RfcConnectionId connection, std::string& databaseSystem) {
  return NwSystemInfo(State(state), Connection(connection), databaseSystem);
}

StepResult TablespaceRows(void* state, RfcConnectionId connection, std::vector<TablespaceRow>& rows) {
  return NwTablespaceRows(State(state), Connection(connection), rows);
}

void Close(void* state, RfcConnectionId connection) {
  NwState& s = State(state);
  if (connection == 0) return;
  NwErrorInfo ignored{};
  s.library.RfcCloseConnection(Connection(connection), &ignored);
  s.connectionNumber = 0;
}

std::string FailureText(void* state) { return FailureSuffix(State(state)); }

// The library writes its log as dev_rfc.trc, or dev_rfc.log from 7.50
// patch level 6 on; the classic name is removed too.
std::vector<std::string> TraceFiles() { return {"Dev_Rfc.Trc", "dev_rfc.trc", "dev_rfc.log"}; }

const RfcBackendOps kNetWeaverOps = {
    "netweaver", Prepare, LogOn, LogonFailureText, SystemInfo, TablespaceRows, Close, FailureText, TraceFiles,
};

}  // namespace

std::optional<std::string> MakeNetWeaverBackend(void* library, TraceLog& trace, RfcBackend& backend) {
  auto state = std::make_shared<NwState>();
  if (std::optional<std::string> problem = ResolveNetWeaverLibrary(library, state->library)) return problem;
  state->trace = &trace;
  backend.ops = &kNetWeaverOps;
  backend.state = state;
  return std::nullopt;
}

}  // namespace fennick
