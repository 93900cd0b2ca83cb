#include "rfc/netweaver/nw_backend.h"

#include <cstdint>

#include "platform/files.h"
#include "rfc/netweaver/nw_calls.h"
#include "rfc/netweaver/nw_logon.h"
#include "rfc/netweaver/nw_state.h"
#include "rfc/netweaver/nw_text.h"

namespace fennick {

namespace {

NwState& State(void* state) { return *static_cast<NwState*>(state); }

NwConnection Connection(RfcConnectionId connection) { return reinterpret_cast<NwConnection>(connection); }

// The library keeps no files of its own that runs side by side could share.
bool OpenWorkspace(void*, std::string&, std::string&) { return true; }
LibraryFiles TakeFiles(void*) { return LibraryFiles(); }
std::vector<std::string> PublishFiles(void*, const LibraryFiles&) { return {}; }
void CloseWorkspace(void*) {}

// The library has no environment to install and no error handler: every
// failure comes back as a result. The trace names the library's version.
void Prepare(void* state, RfcWork& work, bool traced) {
  NwState& s = State(state);
  if (!traced) return;
  unsigned major = 0, minor = 0, patch = 0;
  const NwChar* version = s.library.RfcGetVersion(&major, &minor, &patch);
  NoteStep(work, false, "RfcGetVersion called", version ? FromNwText(version, 64) : std::string());
}

NwLogonParameters LogonParameters(const LogonRequest& request, RfcWork& work) {
  const std::string fileName = "SapRfc." + request.entry.destination;
  FilePtr file = OpenParameterFile(request);
  if (!file) return EntryParameters(request);
  if (request.consoleReport) NoteConsoleLine(work, "* SapRfc.Ini.......: " + request.entry.destination + "<\n");
  return FileParameters(request, fileName, ReadParameterFile(file.get()));
}

RfcConnectionId LogOn(void* state, const LogonRequest& request, RfcWork& work) {
  NwState& s = State(state);
  work.failureSuffix.clear();
  NwLogonParameters parameters = LogonParameters(request, work);
  if (!parameters.refusal.empty()) {
    Refused(work, parameters.refusal);
    NoteStep(work, false, "RfcOpenConnection refused", parameters.refusal);
    return 0;
  }
  std::vector<std::vector<NwChar>> texts;
  for (const auto& value : parameters.values) {
    texts.push_back(ToNwText(value.first));
    texts.push_back(ToNwText(value.second));
  }
  std::vector<NwConnectionParameter> list;
  for (size_t i = 0; i < texts.size(); i += 2)
    list.push_back(NwConnectionParameter{texts[i].data(), texts[i + 1].data()});
  NwErrorInfo error{};
  NwConnection connection = s.library.RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
  NoteStep(work, connection != nullptr, "RfcOpenConnection called", "");
  if (!connection) Failed(work, error);
  return reinterpret_cast<RfcConnectionId>(connection);
}

// The library hands its reason over directly.
std::string LogonFailureText(void*, const RfcWork& work) { return work.failureSuffix; }

StepResult SystemInfo(void* state, RfcConnectionId connection, RfcWork& work, std::string& databaseSystem) {
  return NwSystemInfo(State(state), Connection(connection), work, databaseSystem);
}

StepResult TablespaceRows(void* state, RfcConnectionId connection, RfcWork& work, std::vector<TablespaceRow>& rows) {
  return NwTablespaceRows(State(state), Connection(connection), work, rows);
}

void Close(void* state, RfcConnectionId connection, RfcWork&) {
  NwState& s = State(state);
  if (connection == 0) return;
  NwErrorInfo ignored{};
  s.library.RfcCloseConnection(Connection(connection), &ignored);
}

std::string FailureText(void*, const RfcWork& work, bool& known) {
  known = !work.failureSuffix.empty();
  return work.failureSuffix;
}

// The library writes its log as dev_rfc.trc, or dev_rfc.log from 7.50
// patch level 6 on; the classic name is removed too.
std::vector<std::string> TraceFiles() { return {"Dev_Rfc.Trc", "dev_rfc.trc", "dev_rfc.log"}; }

// Its vendor documents it as safe for several threads, one connection each.
RfcBackendOps NetWeaverOps() {
  RfcBackendOps ops;
  ops.name = "netweaver";
  ops.threadSafe = true;
  ops.openWorkspace = OpenWorkspace;
  ops.takeFiles = TakeFiles;
  ops.publishFiles = PublishFiles;
  ops.closeWorkspace = CloseWorkspace;
  ops.prepare = Prepare;
  ops.logOn = LogOn;
  ops.logonFailureText = LogonFailureText;
  ops.systemInfo = SystemInfo;
  ops.tablespaceRows = TablespaceRows;
  ops.close = Close;
  ops.failureText = FailureText;
  ops.traceFiles = TraceFiles;
  return ops;
}

const RfcBackendOps kNetWeaverOps = NetWeaverOps();

}  // namespace

std::optional<std::string> MakeNetWeaverBackend(void* library, RfcBackend& backend) {
  auto state = std::make_shared<NwState>();
  if (std::optional<std::string> problem = ResolveNetWeaverLibrary(library, state->library)) return problem;
  backend.ops = &kNetWeaverOps;
  backend.state = state;
  return std::nullopt;
}

}  // namespace fennick
