// The library's C functions and the state they share for the whole process:
// the error handler, the open connections, the installed structures, the
// internal tables and the last error.
#include "sim_exports.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "sim_clock.h"
#include "sim_config.h"
#include "sim_functions.h"
#include "sim_landscape.h"
#include "sim_layout.h"
#include "sim_logon.h"
#include "sim_tables.h"
#include "sim_text.h"
#include "sim_trace.h"

namespace rfcsim {

namespace {

// The library's parameter file, unless RFC_INI names another.
const char kSapRfcIni[] = "saprfc.ini";
const char kSignOnRefused[] = "Name or password is incorrect. Please re-enter";

const char kCommunicationFailure[] = "RFC_ERROR_COMMUNICATION";
const char kLogonFailure[] = "RFC_ERROR_LOGON_FAILURE";
const char kSystemFailure[] = "RFC_ERROR_SYSTEM_FAILURE";

// Groups of the extended error record of RfcOpenEx.
const int kGroupCommunication = 1;
const int kGroupLogon = 2;
const int kGroupOther = 3;

// Type handles stay clear of the type codes they share a field with.
const RFC_TYPEHANDLE kFirstTypeHandle = 100;

struct Connection {
  RFC_HANDLE handle = 0;
  SystemConfig system;   // as sapsim.ini held it at logon
  std::string function;  // of the last RfcCall
  // RfcOpen only connects; a wrong sign-on comes back with the first call.
  bool signOnWrong = false;
  bool signOnSent = false;
  bool signOnReported = false;
};

struct SimState {
  RfcErrorCallback handler = nullptr;
  std::vector<Connection> connections;
  StructureSet structures;
  TableSet tables;
  RFC_HANDLE nextHandle = 1;
  RFC_TYPEHANDLE nextTypeHandle = kFirstTypeHandle;
  LastErrorText lastError;
  std::string exception;  // handed out by RfcReceive until the next call
};

// Never destroyed: the caller's error handler may end the process from
// inside a library call, and exit handlers may still call in.
SimState& State() {
  static SimState* state = new SimState;
  return *state;
}

Connection* FindConnection(RFC_HANDLE handle) {
  for (Connection& connection : State().connections) {
    if (connection.handle == handle) return &connection;
  }
  return nullptr;
}

void SetLastError(const std::string& key, const std::string& message) {
  State().lastError = LastErrorText{key, "", message, ""};
}

// A failure the landscape injects or a refused logon: the trace lines and
// the last error come from the system when it brings its own.
void Fire(const SystemConfig* system, const std::string& key, const std::string& text) {
  AppendTraceLines(FailureTraceLines(system, text, UtcNow()));
  if (system && system->lastError) {
    State().lastError = *system->lastError;
  } else {
    SetLastError(key, text);
  }
}

// The handler may close every connection or end the process; callers touch
// no connection afterwards.
void CallHandler(const std::string& operation) {
  RfcErrorCallback handler = State().handler;
  if (!handler) return;
  std::string argument = operation;
  handler(&argument[0]);
}

// Fires a handler fault for `operation` of `system`; true when it fired.
bool HandlerFault(const SystemConfig& system, const std::string& operation) {
  if (!FindFault(system, FaultKind::Handler, operation)) return false;
  Fire(&system, kSystemFailure, "error handler called at " + operation);
  CallHandler(operation);
  return true;
}

// The first open connection whose system has that fault, or null.
const SystemConfig* ConnectedWithFault(FaultKind kind, const std::string& target) {
  for (const Connection& connection : State().connections) {
    if (FindFault(connection.system, kind, target)) return &connection.system;
  }
  return nullptr;
}

// Faults that fire at an operation while their system is connected.
bool ConnectedFault(FaultKind kind, const std::string& target, const std::string& text, const std::string& operation) {
  if (const SystemConfig* system = ConnectedWithFault(kind, target)) {
    Fire(system, kSystemFailure, text);
    return true;
  }
  if (const SystemConfig* system = ConnectedWithFault(FaultKind::Handler, operation)) {
    return HandlerFault(*system, operation);
  }
  return false;
}

void CopyCut(char* field, size_t size, const std::string& text) {
  size_t count = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(field, text.data(), count);
  field[count] = '\0';
}

void FillErrorEx(RfcErrorInfoEx* errorEx, int group) {
  if (!errorEx) return;
  std::memset(errorEx, 0, sizeof *errorEx);
  errorEx->group = group;
  CopyCut(errorEx->key, sizeof errorEx->key, State().lastError.key);
  CopyCut(errorEx->message, sizeof errorEx->message, State().lastError.message);
}

RFC_HANDLE RefuseLogon(const SystemConfig* system, const char* key, const std::string& text, int group,
                       RfcErrorInfoEx* errorEx) {
  Fire(system, key, text);
  FillErrorEx(errorEx, group);
  return 0;
}

RFC_HANDLE Logon(const LogonRequest& request, const std::string& operation, bool checkSignOn, RfcErrorInfoEx* errorEx) {
  Reach reach = ReachSystem(request);
  const SystemConfig* system = reach.system ? &*reach.system : nullptr;
  if (!system) return RefuseLogon(nullptr, kCommunicationFailure, reach.failure, kGroupCommunication, errorEx);
  const bool signOnWrong = !CredentialsMatch(*system, request) || FindFault(*system, FaultKind::Logon, "");
  if (checkSignOn && signOnWrong)
    return RefuseLogon(system, kLogonFailure, "Name or password is incorrect", kGroupLogon, errorEx);
  if (FindFault(*system, FaultKind::Handler, operation)) {
    Fire(system, kSystemFailure, "error handler called at " + operation);
    FillErrorEx(errorEx, kGroupOther);
    CallHandler(operation);
    return 0;
  }
  SimState& state = State();
  Connection connection;
  connection.handle = state.nextHandle++;
  if (state.nextHandle == 0) state.nextHandle = 1;
  connection.system = *system;
  connection.signOnWrong = signOnWrong;
  state.connections.push_back(connection);
  return connection.handle;
}

// The parameter file the library reads: the one RFC_INI names, else
// saprfc.ini in the working directory, with exactly that name.
std::string ParameterFileText() {
  const char* named = std::getenv("RFC_INI");
  std::string text;
  ReadWholeFile(named && *named ? named : kSapRfcIni, text);
  return text;
}

std::string InvalidHandle(RFC_HANDLE handle) { return "invalid handle " + std::to_string(handle); }

bool IsException(int code) { return code == 2 || code == 3; }

void HandOutException(const std::string& name, char** exception) {
  State().exception = name;
  if (exception) *exception = &State().exception[0];
}

}  // namespace

}  // namespace rfcsim

using namespace rfcsim;

extern "C" {

void RFC_CALLCONV RfcEnvironment(RfcEnvironmentRecord* record) {
  if (record) State().handler = record->errorhandler;
}

RFC_HANDLE RFC_CALLCONV RfcOpen(RfcLogonOptions* options) {
  return Logon(RequestFromOptions(options), "RfcOpen", false, nullptr);
}

// LCHECK defaults to 1: the sign-on is checked at open.
RFC_HANDLE RFC_CALLCONV RfcOpenEx(char* connect, RfcErrorInfoEx* errorEx) {
  return Logon(RequestFromConnectString(FromC(connect), ParameterFileText()), "RfcOpenEx", true, errorEx);
}

void RFC_CALLCONV RfcClose(RFC_HANDLE handle) {
  // Closing every connection is the program's last act before it ends on a
  // fatal error: that waits on no partner.
  if (handle != 0) {
    if (const Connection* connection = FindConnection(handle)) {
      WaitMilliseconds(connection->system.closeDelayMs);
      const SystemConfig system = connection->system;  // the handler closes every connection
      if (HandlerFault(system, "RfcClose")) return;
    }
  }
  std::vector<Connection>& connections = State().connections;
  for (size_t i = connections.size(); i > 0; --i) {
    if (handle == 0 || connections[i - 1].handle == handle) connections.erase(connections.begin() + (i - 1));
  }
}

int RFC_CALLCONV RfcLastError(RfcErrorInfo* info) {
  if (!info) return 1;
  const LastErrorText& last = State().lastError;
  std::memset(info, 0, sizeof *info);
  CopyCut(info->key, sizeof info->key, last.key);
  CopyCut(info->status, sizeof info->status, last.status);
  CopyCut(info->message, sizeof info->message, last.message);
  CopyCut(info->intstat, sizeof info->intstat, last.internalStatus);
  return 0;
}

int RFC_CALLCONV RfcInstallStructure(char* name, RfcTypeElement* elements, unsigned count, RFC_TYPEHANDLE* handle) {
  std::string structure = FromC(name);
  if (ConnectedFault(FaultKind::Install, structure, "RfcInstallStructure " + structure + " refused",
                     "RfcInstallStructure"))
    return 1;
  if (!handle) {
    SetLastError(kSystemFailure, "RfcInstallStructure " + structure + ": no place for the type handle");
    return 1;
  }
  StructLayout layout;
  std::string reason;
  if (!LayOutStructure(name, elements, count, layout, reason)) {
    SetLastError(kSystemFailure, "RfcInstallStructure " + structure + ": " + reason);
    return 1;
  }
  SimState& state = State();
  RFC_TYPEHANDLE typeHandle = state.nextTypeHandle++;
  if (state.nextTypeHandle == 0) state.nextTypeHandle = kFirstTypeHandle;
  state.structures[typeHandle] = layout;
  *handle = typeHandle;
  return 0;
}

int RFC_CALLCONV RfcCall(RFC_HANDLE handle, char* function, RfcParameter* exporting, RfcTable* tables) {
  (void)exporting;
  (void)tables;
  Connection* connection = FindConnection(handle);
  if (!connection) {
    SetLastError(kSystemFailure, "RfcCall: " + InvalidHandle(handle));
    return 1;
  }
  if (connection->signOnWrong && connection->signOnSent) return 1;
  WaitMilliseconds(connection->system.delayMs);
  std::string name = FromC(function);
  if (connection->signOnWrong) {
    connection->signOnSent = true;  // the refusal comes with the answer
    connection->function = name;
    return 0;
  }
  const Fault* fault = FindFault(connection->system, FaultKind::Call, name);
  if (fault && fault->code != 0) {
    int code = fault->code;
    Fire(&connection->system, kSystemFailure, "RfcCall " + name + " returned " + std::to_string(code));
    return code;
  }
  if (HandlerFault(connection->system, "RfcCall")) return 1;
  connection->function = name;
  return 0;
}

int RFC_CALLCONV RfcReceive(RFC_HANDLE handle, RfcParameter* importing, RfcTable* tables, char** exception) {
  Connection* connection = FindConnection(handle);
  if (!connection) {
    SetLastError(kSystemFailure, "RfcReceive: " + InvalidHandle(handle));
    return 1;
  }
  if (connection->signOnWrong && connection->signOnReported) return 1;
  WaitMilliseconds(connection->system.delayMs);
  if (connection->signOnWrong) {
    connection->signOnReported = true;
    Fire(&connection->system, kLogonFailure, kSignOnRefused);
    return 1;
  }
  const std::string function = connection->function;
  if (const Fault* fault = FindFault(connection->system, FaultKind::Receive, function)) {
    int code = fault->code;
    std::string name = fault->exception;
    std::string text = "RfcReceive " + function + " returned " + std::to_string(code);
    if (!name.empty()) text += " exception " + name;
    Fire(&connection->system, kSystemFailure, text);
    if (IsException(code)) HandOutException(name, exception);
    return code;
  }
  if (HandlerFault(connection->system, "RfcReceive")) return 1;
  SimState& state = State();
  ReceiveResult result =
      ReceiveFunction(function, connection->system, state.structures, state.tables, importing, tables, UtcNow());
  if (result.code == 1) SetLastError(kSystemFailure, "RfcReceive " + function + ": " + result.error);
  if (IsException(result.code)) HandOutException(result.exception, exception);
  return result.code;
}

RFC_ITAB RFC_CALLCONV ItCreate(char* name, unsigned leng, unsigned occu, unsigned memo) {
  (void)occu;
  (void)memo;
  if (ConnectedFault(FaultKind::ItCreate, "", "ItCreate refused", "ItCreate")) return nullptr;
  RFC_ITAB table = CreateTable(State().tables, FromC(name), leng);
  if (!table) SetLastError(kSystemFailure, "ItCreate: no memory");
  return table;
}

unsigned RFC_CALLCONV ItFill(RFC_ITAB handle) {
  if (const SystemConfig* system = ConnectedWithFault(FaultKind::Handler, "ItFill")) HandlerFault(*system, "ItFill");
  InternalTable* table = FindTable(State().tables, handle);
  return table ? static_cast<unsigned>(table->rows.size()) : 0;
}

void* RFC_CALLCONV ItGetLine(RFC_ITAB handle, unsigned row) {
  if (ConnectedFault(FaultKind::ItGetLine, "", "ItGetLine refused", "ItGetLine")) return nullptr;
  InternalTable* table = FindTable(State().tables, handle);
  return table ? RowAt(*table, row) : nullptr;
}

int RFC_CALLCONV ItDelete(RFC_ITAB handle) {
  if (ConnectedFault(FaultKind::ItDelete, "", "ItDelete refused", "ItDelete")) return 1;
  if (DeleteTable(State().tables, handle)) return 0;
  SetLastError(kSystemFailure, "ItDelete: no such table");
  return 1;
}

void* RFC_CALLCONV ItAppLine(RFC_ITAB handle) {
  InternalTable* table = FindTable(State().tables, handle);
  return table ? AppendRow(*table) : nullptr;
}

}  // extern "C"

// The definitions must keep the types the program binds them with.
static_assert(std::is_same<decltype(&RfcEnvironment), RfcEnvironmentFn>::value, "RfcEnvironment");
static_assert(std::is_same<decltype(&RfcOpen), RfcOpenFn>::value, "RfcOpen");
static_assert(std::is_same<decltype(&RfcOpenEx), RfcOpenExFn>::value, "RfcOpenEx");
static_assert(std::is_same<decltype(&RfcClose), RfcCloseFn>::value, "RfcClose");
static_assert(std::is_same<decltype(&RfcLastError), RfcLastErrorFn>::value, "RfcLastError");
static_assert(std::is_same<decltype(&RfcInstallStructure), RfcInstallStructureFn>::value, "RfcInstallStructure");
static_assert(std::is_same<decltype(&RfcCall), RfcCallFn>::value, "RfcCall");
static_assert(std::is_same<decltype(&RfcReceive), RfcReceiveFn>::value, "RfcReceive");
static_assert(std::is_same<decltype(&ItCreate), ItCreateFn>::value, "ItCreate");
static_assert(std::is_same<decltype(&ItFill), ItFillFn>::value, "ItFill");
static_assert(std::is_same<decltype(&ItGetLine), ItGetLineFn>::value, "ItGetLine");
static_assert(std::is_same<decltype(&ItDelete), ItDeleteFn>::value, "ItDelete");
static_assert(std::is_same<decltype(&ItAppLine), ItAppLineFn>::value, "ItAppLine");
