// The NetWeaver library's C functions over the shared landscape. Every
// handle is looked up in the live state before it is used, so a stale or
// foreign one is refused instead of touching freed memory.
#include "nw_exports.h"

#include <string>
#include <type_traits>
#include <vector>

#include "nw_containers.h"
#include "nw_descriptions.h"
#include "nw_error_info.h"
#include "nw_fields.h"
#include "nw_invoke.h"
#include "nw_logon.h"
#include "nw_state.h"
#include "nw_text.h"
#include "sim_clock.h"
#include "sim_landscape.h"

namespace nwsim {

namespace {

const NwChar kVersionText[] = {'7', '.', '5', '0', '.', '1', '2', 0};

// The open connection behind a handle; else null and why.
NwConnectionRecord* UsableConnection(NwConnection handle, Failure& why) {
  NwConnectionRecord* connection = FindConnection(handle);
  if (!connection) {
    why = InvalidHandle("Invalid connection handle");
    return nullptr;
  }
  if (!connection->open) {
    why = InvalidHandle("Connection was closed by an error");
    return nullptr;
  }
  return connection;
}

NwContainerRecord* FunctionOf(NwFunction handle, Failure& why) {
  NwContainerRecord* function = FindContainer(State().containers, handle);
  if (!function || function->kind != NwContainerRecord::Function) {
    why = InvalidHandle("Invalid function handle");
    return nullptr;
  }
  return function;
}

NwContainerRecord* TableOf(NwTable handle, Failure& why) {
  NwContainerRecord* table = FindContainer(State().containers, handle);
  if (!table || table->kind != NwContainerRecord::Table) {
    why = InvalidHandle("Invalid table handle");
    return nullptr;
  }
  return table;
}

// The container behind a handle; a table stands for its current row.
NwContainerRecord* DataContainer(NwContainer handle, Failure& why) {
  NwContainerRecord* container = FindContainer(State().containers, handle);
  if (!container) {
    why = InvalidHandle("Invalid data container handle");
    return nullptr;
  }
  if (container->kind != NwContainerRecord::Table) return container;
  NwContainerRecord* row = CurrentRow(*container);
  if (!row) why = NotFound("Table " + container->name + " has no current row");
  return row;
}

// The parameter or field `name` of a container is missing, or is of
// another kind than asked for.
Failure NoSuchName(NwContainerRecord& container, const std::string& name, const char* wanted) {
  if (FindField(container, name) || FindPart(container, name)) return ConversionFailure(name + " is not a " + wanted);
  return InvalidParameter("No parameter or field " + name + " in " + container.name);
}

Field* FieldOf(NwContainer handle, const NwChar* name, Failure& why) {
  NwContainerRecord* container = DataContainer(handle, why);
  if (!container) return nullptr;
  if (!name) {
    why = InvalidParameter("No field name");
    return nullptr;
  }
  std::string fieldName = BytesOf(name);
  Field* field = FindField(*container, fieldName);
  if (!field) why = NoSuchName(*container, fieldName, "field");
  return field;
}

int GetPart(NwContainer handle, const NwChar* name, NwContainer* out, NwContainerRecord::Kind kind,
            NwErrorInfo* error) {
  const char* wanted = kind == NwContainerRecord::Table ? "table" : "structure";
  if (out) *out = nullptr;
  StateLock lock;
  Failure why;
  NwContainerRecord* container = DataContainer(handle, why);
  if (!container) return Report(error, why);
  if (!name || !out) return Report(error, InvalidParameter(std::string("No name or no place for the ") + wanted));
  std::string partName = BytesOf(name);
  NwContainerRecord* part = FindPart(*container, partName);
  if (!part || part->kind != kind) return Report(error, NoSuchName(*container, partName, wanted));
  *out = HandleOf(part);
  return Succeed(error);
}

Failure FunctionNotFound(const std::string& name) {
  Failure failure =
      MakeFailure(NW_ABAP_EXCEPTION, NW_GROUP_ABAP_APPLICATION, "FU_NOT_FOUND", "ID:FL Type:E Number:046 " + name);
  failure.abapClass = "FL";
  failure.abapType = "E";
  failure.abapNumber = "046";
  failure.abapV1 = name;
  return failure;
}

}  // namespace

}  // namespace nwsim

using namespace nwsim;

extern "C" {

NwConnection NWRFC_CALLCONV RfcOpenConnection(const NwConnectionParameter* parameters, unsigned count,
                                              NwErrorInfo* error) {
  if (!parameters && count > 0) {
    Report(error, InvalidParameter("No connection parameters"));
    return nullptr;
  }
  LogonParameters given = ReadParameters(parameters, count);
  if (!HasRoute(given)) {
    Report(error, NoRoute());
    return nullptr;
  }
  rfcsim::LogonRequest request = RequestOf(given);
  // The landscape guards itself and hands out a copy of the system.
  rfcsim::Reach reach = rfcsim::ReachSystem(request);
  if (!reach.system) {
    Report(error, reach.badFile ? BadLandscape(reach.failure) : NotReached(Partner(given)));
    return nullptr;
  }
  rfcsim::SystemConfig system = std::move(*reach.system);
  // The sign-on's answer comes back over the network.
  rfcsim::WaitMilliseconds(system.delayMs);
  if (!SignOnAccepted(system, request)) {
    Report(error, LogonRefused(system));
    return nullptr;
  }
  std::unique_ptr<NwConnectionRecord> connection(new NwConnectionRecord);
  connection->system = std::move(system);
  uintptr_t handle = 0;
  {
    StateLock lock;
    handle = NewHandleNumber();
    State().connections[handle] = std::move(connection);
  }
  Succeed(error);
  return reinterpret_cast<NwConnection>(handle);
}

int NWRFC_CALLCONV RfcCloseConnection(NwConnection connection, NwErrorInfo* error) {
  int closeDelayMs = 0;
  {
    StateLock lock;
    const NwConnectionRecord* closing = FindConnection(connection);
    if (!closing) return Report(error, InvalidHandle("Invalid connection handle"));
    closeDelayMs = closing->system.closeDelayMs;
  }
  // The partner's answer to the close comes over the network; other
  // connections go on meanwhile.
  rfcsim::WaitMilliseconds(closeDelayMs);
  StateLock lock;
  if (!FindConnection(connection)) return Report(error, InvalidHandle("Invalid connection handle"));
  State().connections.erase(reinterpret_cast<uintptr_t>(connection));
  return Succeed(error);
}

NwFunctionDesc NWRFC_CALLCONV RfcGetFunctionDesc(NwConnection connection, const NwChar* name, NwErrorInfo* error) {
  Failure why;
  int delayMs = 0;
  {
    StateLock lock;
    NwConnectionRecord* open = UsableConnection(connection, why);
    if (!open) {
      Report(error, why);
      return nullptr;
    }
    delayMs = open->system.delayMs;
  }
  if (!name) {
    Report(error, InvalidParameter("No function name"));
    return nullptr;
  }
  rfcsim::WaitMilliseconds(delayMs);
  StateLock lock;
  // The connection may have been closed while the answer was on its way.
  NwConnectionRecord* open = UsableConnection(connection, why);
  if (!open) {
    Report(error, why);
    return nullptr;
  }
  std::string functionName = BytesOf(name);
  NwFunctionDesc description = FindDescription(functionName, open->system.fieldWidths);
  if (!description) {
    Report(error, FunctionNotFound(functionName));
    return nullptr;
  }
  Succeed(error);
  return description;
}

NwFunction NWRFC_CALLCONV RfcCreateFunction(NwFunctionDesc description, NwErrorInfo* error) {
  StateLock lock;
  if (!IsDescription(description)) {
    Report(error, InvalidHandle("Invalid function description handle"));
    return nullptr;
  }
  NwContainerRecord* function = CreateFunction(*description, State().containers);
  Succeed(error);
  return HandleOf(function);
}

int NWRFC_CALLCONV RfcInvoke(NwConnection connection, NwFunction function, NwErrorInfo* error) {
  Failure why;
  int delayMs = 0;
  {
    StateLock lock;
    NwConnectionRecord* open = UsableConnection(connection, why);
    if (!open || !FunctionOf(function, why)) return Report(error, why);
    delayMs = open->system.delayMs;
  }
  rfcsim::WaitMilliseconds(delayMs);
  StateLock lock;
  NwConnectionRecord* open = UsableConnection(connection, why);
  NwContainerRecord* called = open ? FunctionOf(function, why) : nullptr;
  if (!called) return Report(error, why);
  if (std::optional<InvokeFault> fault = FindInvokeFault(open->system, called->name)) {
    if (fault->closesConnection) open->open = false;
    return Report(error, fault->failure);
  }
  Answer(*called, open->system, rfcsim::UtcNow(), State().containers);
  return Succeed(error);
}

int NWRFC_CALLCONV RfcDestroyFunction(NwFunction function, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  NwContainerRecord* destroyed = FunctionOf(function, why);
  if (!destroyed) return Report(error, why);
  DestroyFunction(destroyed, State().containers);
  return Succeed(error);
}

int NWRFC_CALLCONV RfcGetStructure(NwContainer container, const NwChar* name, NwStructure* structure,
                                   NwErrorInfo* error) {
  return GetPart(container, name, structure, NwContainerRecord::Structure, error);
}

int NWRFC_CALLCONV RfcGetTable(NwContainer container, const NwChar* name, NwTable* table, NwErrorInfo* error) {
  return GetPart(container, name, table, NwContainerRecord::Table, error);
}

int NWRFC_CALLCONV RfcGetRowCount(NwTable table, unsigned* count, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  NwContainerRecord* rows = TableOf(table, why);
  if (!rows) return Report(error, why);
  if (!count) return Report(error, InvalidParameter("No place for the row count"));
  *count = static_cast<unsigned>(rows->parts.size());
  return Succeed(error);
}

int NWRFC_CALLCONV RfcMoveTo(NwTable table, unsigned index, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  NwContainerRecord* rows = TableOf(table, why);
  if (!rows) return Report(error, why);
  if (index >= rows->parts.size())
    return Report(error, NotFound("Table " + rows->name + " has no row " + std::to_string(index)));
  rows->current = index;
  return Succeed(error);
}

NwStructure NWRFC_CALLCONV RfcGetCurrentRow(NwTable table, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  NwContainerRecord* rows = TableOf(table, why);
  NwContainerRecord* row = rows ? CurrentRow(*rows) : nullptr;
  if (rows && !row) why = NotFound("Table " + rows->name + " has no current row");
  if (!row) {
    Report(error, why);
    return nullptr;
  }
  Succeed(error);
  return HandleOf(row);
}

int NWRFC_CALLCONV RfcGetChars(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                               NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  const Field* field = FieldOf(container, name, why);
  if (!field) return Report(error, why);
  const std::string& fieldName = field->desc.name;
  if (!IsCharacterField(*field))
    return Report(error, ConversionFailure(std::string("Field ") + fieldName + " of type " +
                                           TypeName(field->desc.type) + " cannot be read as characters"));
  if (length < field->desc.length)
    return Report(error, BufferTooSmall("Field " + fieldName + " has " + std::to_string(field->desc.length) +
                                        " characters, the buffer " + std::to_string(length)));
  if (!buffer) return Report(error, InvalidParameter("No buffer"));
  std::vector<NwChar> units = UnitsOf(field->bytes);
  // The whole buffer, blank-padded, without a terminator.
  for (unsigned i = 0; i < length; ++i) buffer[i] = i < units.size() ? units[i] : NwChar(' ');
  return Succeed(error);
}

int NWRFC_CALLCONV RfcGetString(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                unsigned* needed, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  const Field* field = FieldOf(container, name, why);
  if (!field) return Report(error, why);
  std::vector<NwChar> units = UnitsOf(FieldText(*field));
  if (needed) *needed = static_cast<unsigned>(units.size());
  if (length < units.size() + 1)
    return Report(error, BufferTooSmall("Field " + field->desc.name + " needs " + std::to_string(units.size() + 1) +
                                        " characters with its terminator, the buffer has " + std::to_string(length)));
  if (!buffer) return Report(error, InvalidParameter("No buffer"));
  for (size_t i = 0; i < units.size(); ++i) buffer[i] = units[i];
  buffer[units.size()] = 0;
  return Succeed(error);
}

int NWRFC_CALLCONV RfcGetInt(NwContainer container, const NwChar* name, int* value, NwErrorInfo* error) {
  StateLock lock;
  Failure why;
  const Field* field = FieldOf(container, name, why);
  if (!field) return Report(error, why);
  if (field->desc.type != FieldType::Int)
    return Report(error, ConversionFailure("Field " + field->desc.name + " of type " + TypeName(field->desc.type) +
                                           " cannot be read as an integer"));
  if (!value) return Report(error, InvalidParameter("No place for the value"));
  *value = field->integer;
  return Succeed(error);
}

const NwChar* NWRFC_CALLCONV RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
  if (major) *major = 7;
  if (minor) *minor = 50;
  if (patch) *patch = 12;
  return kVersionText;
}

}  // extern "C"

// The definitions must keep the types the program binds them with.
static_assert(std::is_same<decltype(&RfcOpenConnection), NwOpenConnectionFn>::value, "RfcOpenConnection");
static_assert(std::is_same<decltype(&RfcCloseConnection), NwCloseConnectionFn>::value, "RfcCloseConnection");
static_assert(std::is_same<decltype(&RfcGetFunctionDesc), NwGetFunctionDescFn>::value, "RfcGetFunctionDesc");
static_assert(std::is_same<decltype(&RfcCreateFunction), NwCreateFunctionFn>::value, "RfcCreateFunction");
static_assert(std::is_same<decltype(&RfcInvoke), NwInvokeFn>::value, "RfcInvoke");
static_assert(std::is_same<decltype(&RfcDestroyFunction), NwDestroyFunctionFn>::value, "RfcDestroyFunction");
static_assert(std::is_same<decltype(&RfcGetStructure), NwGetStructureFn>::value, "RfcGetStructure");
static_assert(std::is_same<decltype(&RfcGetTable), NwGetTableFn>::value, "RfcGetTable");
static_assert(std::is_same<decltype(&RfcGetRowCount), NwGetRowCountFn>::value, "RfcGetRowCount");
static_assert(std::is_same<decltype(&RfcMoveTo), NwMoveToFn>::value, "RfcMoveTo");
static_assert(std::is_same<decltype(&RfcGetCurrentRow), NwGetCurrentRowFn>::value, "RfcGetCurrentRow");
static_assert(std::is_same<decltype(&RfcGetChars), NwGetCharsFn>::value, "RfcGetChars");
static_assert(std::is_same<decltype(&RfcGetString), NwGetStringFn>::value, "RfcGetString");
static_assert(std::is_same<decltype(&RfcGetInt), NwGetIntFn>::value, "RfcGetInt");
static_assert(std::is_same<decltype(&RfcGetVersion), NwGetVersionFn>::value, "RfcGetVersion");
