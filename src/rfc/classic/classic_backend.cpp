#include "rfc/classic/classic_backend.h"

#include "platform/child_process.h"
#include "platform/paths.h"
#include "rfc/classic/classic_state.h"
#include "rfc/classic/classic_workspace.h"
#include "rfc/classic/error_handler.h"
#include "rfc/classic/logon.h"
#include "rfc/classic/system_info.h"
#include "rfc/classic/tablespace_rows.h"
#include "rfc/classic/trace_file.h"

namespace fennick {

namespace {

ClassicState& State(void* state) { return *static_cast<ClassicState*>(state); }

RFC_HANDLE Handle(RfcConnectionId connection) { return static_cast<RFC_HANDLE>(connection); }

bool OpenWorkspace(void* state, std::string& where, std::string& why) {
  const bool opened = OpenClassicWorkspace(State(state), why);
  where = State(state).filesDirectory;
  return opened;
}
LibraryFiles TakeFiles(void* state) { return TakeClassicFiles(State(state)); }
std::vector<std::string> PublishFiles(void* state, const LibraryFiles& files) {
  return PublishClassicFiles(State(state), files);
}
void CloseWorkspace(void* state) { CloseClassicWorkspace(State(state)); }

void Prepare(void* state, RfcWork& work, bool traced) {
  // The library may keep the record's address, so it outlives every call.
  static RfcEnvironmentRecord environment{RfcErrorHandler, nullptr};
  ClassicState& s = State(state);
  s.library.RfcEnvironment(&environment);
  if (traced) NoteStep(work, false, "RfcEnvironment called", "");
}

RfcConnectionId LogOn(void* state, const LogonRequest& request, RfcWork& work) {
  ClassicState& s = State(state);
  // In the run's own workspace what was taken is where the logon's lines
  // start; the working folder's file has to be looked at.
  s.logonMark = s.filesDirectory.empty() ? MarkTraceFile(s.filesDirectory) : TakenMark(s);
  return OpenConnection(s, request, work);
}

// The library hands nothing over: its reason is in what the logon added
// to its trace file.
std::string LogonFailureText(void* state, const RfcWork&) {
  const ClassicState& s = State(state);
  return TraceErrorTextSince(s.filesDirectory, s.logonMark);
}

StepResult SystemInfo(void* state, RfcConnectionId connection, RfcWork& work, std::string& databaseSystem) {
  return ReadSystemInfo(State(state), Handle(connection), work, databaseSystem);
}

StepResult TablespaceRows(void* state, RfcConnectionId connection, RfcWork& work, std::vector<TablespaceRow>& rows) {
  return FetchTablespaceRows(State(state), Handle(connection), work, rows);
}

void Close(void* state, RfcConnectionId connection, RfcWork&) {
  ClassicState& s = State(state);
  DeleteRowTable(s);
  if (connection != 0) s.library.RfcClose(Handle(connection));
}

std::string FailureText(void* state, const RfcWork&, bool& known) {
  return TraceErrorText(State(state).filesDirectory, known);
}

// Its error texts come through one trace file and its error handler ends
// the process: one connection at a time.
RfcBackendOps ClassicOps() {
  RfcBackendOps ops;
  ops.name = "classic";
  ops.threadSafe = false;
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
  ops.traceFiles = LibraryTraceFiles;
  return ops;
}

const RfcBackendOps kClassicOps = ClassicOps();

}  // namespace

std::optional<std::string> MakeClassicBackend(void* library, RfcBackend& backend) {
  auto state = std::make_shared<ClassicState>();
  // Read before a workspace points the variable elsewhere.
  state->publishedTraceDirectory = DirectoryPrefix(EnvironmentValue("RFC_TRACE_DIR"));
  if (std::optional<std::string> problem = ResolveClassicLibrary(library, state->library)) return problem;
  SetErrorHandlerLibrary(&state->library);
  backend.ops = &kClassicOps;
  backend.state = state;
  return std::nullopt;
}

}  // namespace fennick
