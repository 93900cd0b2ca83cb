#include "rfc/netweaver/nw_calls.h"

#include "rfc/netweaver/nw_text.h"

namespace fennick {

namespace {

// Enough for the usual widths of the fields read as text; a wider field
// costs one more call.
const unsigned kFirstStringLength = 32;

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// A function to invoke, destroyed with its structures and tables when the
// step is done.
struct Function {
  const NwLibrary& library;
  NwFunction handle = nullptr;
  ~Function() {
    NwErrorInfo ignored;
    if (handle) library.RfcDestroyFunction(handle, &ignored);
  }
};

// Describes, creates and invokes the function module; false with `error`
// filled when a step fails.
bool Invoke(NwState& state, NwConnection connection, RfcWork& work, const char* name, Function& function,
            NwErrorInfo& error) {
  const NwLibrary& library = state.library;
  NwFunctionDesc description = library.RfcGetFunctionDesc(connection, ToNwText(name).data(), &error);
  if (!description) return false;
  function.handle = library.RfcCreateFunction(description, &error);
  if (!function.handle) return false;
  int code = library.RfcInvoke(connection, function.handle, &error);
  NoteStep(work, true, "RfcInvoke called", name);
  return code == NW_OK;
}

// The field as text; returns the library's code (NW_OK when `value` is set).
int GetString(const NwLibrary& library, NwContainer container, const char* field, std::string& value,
              NwErrorInfo& error) {
  const std::vector<NwChar> name = ToNwText(field);
  std::vector<NwChar> buffer(kFirstStringLength);
  unsigned needed = 0;
  int code = library.RfcGetString(container, name.data(), buffer.data(), static_cast<unsigned>(buffer.size()), &needed,
                                  &error);
  if (code == NW_BUFFER_TOO_SMALL && needed >= buffer.size()) {
    buffer.resize(static_cast<size_t>(needed) + 1);
    code = library.RfcGetString(container, name.data(), buffer.data(), static_cast<unsigned>(buffer.size()), &needed,
                                &error);
  }
  if (code == NW_OK) value = FromNwText(buffer.data(), buffer.size());
  return code;
}

// A CHAR field of any width, without its blanks on the right. A fixed
// buffer would fail on a system whose field is wider than ours.
bool GetText(const NwLibrary& library, NwContainer container, const char* field, std::string& value,
             NwErrorInfo& error) {
  if (GetString(library, container, field, value, error) != NW_OK) return false;
  value = TrimRight(value);
  return true;
}

// The codes by which the library says a container has no field of that
// name: a system of an older release whose TS row ends before the field.
// RFC_INVALID_PARAMETER is what it answers for an unknown name;
// RFC_NOT_FOUND is taken as the same. Any other code is a failure.
bool FieldMissing(int code) { return code == NW_INVALID_PARAMETER || code == NW_NOT_FOUND; }

// The fields a row may lack (STATUS, TSAU, TSAUPCT): a missing one leaves
// `values` as it is; false only for another failure.
bool ReadOptionalFields(const NwLibrary& library, NwStructure row, TablespaceRow& values, NwErrorInfo& error) {
  std::string status, autoextend;
  int code = GetString(library, row, "STATUS", status, error);
  if (code == NW_OK)
    values.status = TrimFieldBlanks(status);
  else if (!FieldMissing(code))
    return false;
  code = GetString(library, row, "TSAU", autoextend, error);
  if (code == NW_OK)
    values.autoextendKb = AutoextendKbOf(autoextend);
  else if (!FieldMissing(code))
    return false;
  int pct = 0;
  code = library.RfcGetInt(row, ToNwText("TSAUPCT").data(), &pct, &error);
  if (code == NW_OK)
    values.autoextendPct = pct;
  else if (!FieldMissing(code))
    return false;
  return true;
}

// One row of TS: the name and the packed sizes as text (the library cannot
// read packed fields as integers), the percentages as integers, the status
// and the autoextend maximum as text of any width.
bool ReadRow(const NwLibrary& library, NwStructure row, TablespaceRow& values, NwErrorInfo& error) {
  std::string size, free;
  int used = 0;
  if (!GetText(library, row, "TS", values.name, error) || GetString(library, row, "TSIZE", size, error) != NW_OK ||
      GetString(library, row, "TFREE", free, error) != NW_OK ||
      library.RfcGetInt(row, ToNwText("TPCTUSED").data(), &used, &error) != NW_OK ||
      !ReadOptionalFields(library, row, values, error)) {
    return false;
  }
  values.sizeKb = PackedTextValue(size);
  values.freeKb = PackedTextValue(free);
  values.pctUsed = used;
  return true;
}

}  // namespace

StepResult NwSystemInfo(NwState& state, NwConnection connection, RfcWork& work, std::string& databaseSystem) {
  const NwLibrary& library = state.library;
  NwErrorInfo error{};
  Function function{library};
  if (!Invoke(state, connection, work, "RFC_SYSTEM_INFO", function, error)) return Failed(work, error);
  NwStructure record = nullptr;
  if (library.RfcGetStructure(function.handle, ToNwText("RFCSI_EXPORT").data(), &record, &error) != NW_OK ||
      !GetText(library, record, "RFCDBSYS", databaseSystem, error)) {
    return Failed(work, error);
  }
  return StepResult{};
}

StepResult NwTablespaceRows(NwState& state, NwConnection connection, RfcWork& work, std::vector<TablespaceRow>& rows) {
  const NwLibrary& library = state.library;
  NwErrorInfo error{};
  Function function{library};
  if (!Invoke(state, connection, work, "DB_ORA_CURRENT_SIZES", function, error)) return Failed(work, error);
  NwTable table = nullptr;
  unsigned count = 0;
  if (library.RfcGetTable(function.handle, ToNwText("TS").data(), &table, &error) != NW_OK ||
      library.RfcGetRowCount(table, &count, &error) != NW_OK) {
    return Failed(work, error);
  }
  for (unsigned index = 0; index < count; ++index) {
    if (library.RfcMoveTo(table, index, &error) != NW_OK) return Failed(work, error);
    NwStructure row = library.RfcGetCurrentRow(table, &error);
    TablespaceRow values;
    if (!row || !ReadRow(library, row, values, error)) return Failed(work, error);
    rows.push_back(values);
  }
  return StepResult{};
}

}  // namespace fennick
