#include "rfc/classic/tablespace_rows.h"

#include <cstring>

#include "rfc/classic/classic_state.h"
#include "rfc/classic/error_handler.h"
#include "rfc/classic/packed_decimal.h"
#include "rfc/classic/tablespace_call.h"

namespace fennick {

namespace {

std::string TextField(const unsigned char* row, unsigned offset, unsigned length) {
  const char* text = reinterpret_cast<const char*>(row + offset);
  return std::string(text, strnlen(text, length));
}

}  // namespace

TablespaceRow ReadTablespaceRow(const unsigned char* row) {
  TablespaceRow figures;
  figures.name = TextField(row, kRowNameOffset, kRowNameLength);
  while (!figures.name.empty() && figures.name.back() == ' ') figures.name.pop_back();
  figures.sizeKb = PackedValue(row + kRowSizeOffset, kRowPackedLength);
  figures.freeKb = PackedValue(row + kRowFreeOffset, kRowPackedLength);
  std::memcpy(&figures.pctUsed, row + kRowPctUsedOffset, sizeof figures.pctUsed);
  figures.status = TrimFieldBlanks(TextField(row, kRowStatusOffset, kRowStatusLength));
  figures.autoextendKb = AutoextendKbOf(TextField(row, kRowAutoextendOffset, kRowAutoextendLength));
  std::memcpy(&figures.autoextendPct, row + kRowAutoextendPctOffset, sizeof figures.autoextendPct);
  return figures;
}

StepResult FetchTablespaceRows(ClassicState& state, RFC_HANDLE handle, RfcWork& work,
                               std::vector<TablespaceRow>& rows) {
  const RfcLibrary& library = state.library;
  DeleteRowTable(state);
  state.rowTable = library.ItCreate(const_cast<char*>("TS"), kTablespaceRowSize, 0, 0);
  if (!state.rowTable) RfcErrorHandler(const_cast<char*>("ItCreate TS"));
  TablespaceReply reply;
  int result = CallTablespaceSizes(state, handle, work, state.rowTable, reply);
  // The count is asked again after each row, as the table may still grow.
  for (unsigned row = 1; result == 0 && row <= library.ItFill(state.rowTable); ++row) {
    void* line = library.ItGetLine(state.rowTable, row);
    if (!line) RfcErrorHandler(const_cast<char*>("ItGetLine TS"));
    rows.push_back(ReadTablespaceRow(static_cast<const unsigned char*>(line)));
  }
  // The table lives for the call alone: a failure to delete it ends the run
  // before anything of the result is written.
  DeleteRowTable(state);
  return StepResult{result, result == 0 ? std::string() : reply.exception};
}

void DeleteRowTable(ClassicState& state) {
  if (!state.rowTable) return;
  RFC_ITAB table = state.rowTable;
  state.rowTable = nullptr;
  if (state.library.ItDelete(table) != 0) RfcErrorHandler(const_cast<char*>("ItDelete TS"));
}

}  // namespace fennick
