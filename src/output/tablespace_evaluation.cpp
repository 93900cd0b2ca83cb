#include "output/tablespace_evaluation.h"

#include <cstring>
#include <limits>

#include "driver/run_state.h"
#include "output/numbers.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "profile/text_util.h"
#include "rfc/error_report.h"
#include "rfc/structures.h"
#include "rfc/tablespace_call.h"

namespace fennick {

namespace {

// Landscapes are far below the limits; hostile rows must not overflow.
int64_t SaturatingAdd(int64_t a, int64_t b) {
  if (b > 0 && a > std::numeric_limits<int64_t>::max() - b) return std::numeric_limits<int64_t>::max();
  if (b < 0 && a < std::numeric_limits<int64_t>::min() - b) return std::numeric_limits<int64_t>::min();
  return a + b;
}

const unsigned char* GetRow(RunState& rs, RFC_ITAB table, unsigned row) {
  void* line = rs.rfc.ItGetLine(table, row);
  if (!line) RfcErrorHandler(const_cast<char*>("ItGetLine TS"));
  return static_cast<const unsigned char*>(line);
}

}  // namespace

TablespaceFigures ReadTablespaceRow(const unsigned char* row) {
  TablespaceFigures figures;
  const char* name = reinterpret_cast<const char*>(row + kRowNameOffset);
  figures.name.assign(name, strnlen(name, kRowNameLength));
  while (!figures.name.empty() && figures.name.back() == ' ') figures.name.pop_back();
  figures.sizeKb = PackedValue(row + kRowSizeOffset, kRowPackedLength);
  figures.freeKb = PackedValue(row + kRowFreeOffset, kRowPackedLength);
  std::memcpy(&figures.pctUsed, row + kRowPctUsedOffset, sizeof figures.pctUsed);
  return figures;
}

std::string SummaryLine(const std::string& destination, uint64_t rows, int64_t totalSizeKb, int64_t totalFreeKb) {
  // Below 100 KB in all there is no hundredth to divide by.
  int64_t hundredth = totalSizeKb / 100;
  int64_t freePercent = 0;
  if (hundredth == -1 && totalFreeKb == std::numeric_limits<int64_t>::min()) {
    freePercent = std::numeric_limits<int64_t>::max();  // hostile rows saturated the total; so does its quotient
  } else if (hundredth != 0) {
    freePercent = totalFreeKb / hundredth;
  }
  return "(" + destination + ") OraSizes: " + "NoSpc=" + GroupThousands(std::to_string(rows)) +
         ", DataSz=" + GroupThousands(std::to_string(totalSizeKb / 1000)) +
         " MB, FreeSz=" + GroupThousands(std::to_string(totalFreeKb / 1000)) +
         " MB, Free=" + GroupThousands(std::to_string(freePercent)) + "% ";
}

void ChannelValue(const std::string& parameterString, const TablespaceFigures& figures, bool itemRun,
                  std::string& value, std::string& unit) {
  value = std::to_string(100 - static_cast<int64_t>(figures.pctUsed));
  unit = itemRun ? "%" : "PerCent";
  if (Contains(parameterString, "MEGABYTE")) {
    value = std::to_string(figures.freeKb / 1000);
    unit = "MByte";
  }
  // Tested after MEGABYTE, so GIGABYTE wins when both are given.
  if (Contains(parameterString, "GIGABYTE")) {
    value = std::to_string(figures.freeKb / 1000000);
    unit = "GByte";
  }
}

int EvaluateTablespaces(RunState& rs, RFC_HANDLE handle) {
  RFC_ITAB table = rs.rfc.ItCreate(const_cast<char*>("TS"), kTablespaceRowSize, 0, 0);
  if (!table) RfcErrorHandler(const_cast<char*>("ItCreate TS"));
  TablespaceReply reply;
  int result = CallTablespaceSizes(rs, handle, table, reply);
  if (result == 0) {
    rs.resultCode = ResultCode::Ok;
    uint64_t rows = 0;
    int64_t totalSize = 0;
    int64_t totalFree = 0;
    for (unsigned row = 1; row <= rs.rfc.ItFill(table); ++row) {
      TablespaceFigures figures = ReadTablespaceRow(GetRow(rs, table, row));
      totalSize = SaturatingAdd(totalSize, figures.sizeKb);
      totalFree = SaturatingAdd(totalFree, figures.freeKb);
      ++rows;
    }
    if (!rs.itemMode) {
      BeginDocument(rs);
      BeginText(rs);
      AppendText(rs, SummaryLine(rs.logon.destination, rows, totalSize, totalFree));
      EndText(rs);
    }
    PrintMessageBuffer(rs);
    const std::string itemName = ToUpper(rs.itemName);
    for (unsigned row = 1; row <= rs.rfc.ItFill(table); ++row) {
      TablespaceFigures figures = ReadTablespaceRow(GetRow(rs, table, row));
      std::string value, unit;
      ChannelValue(rs.parameterString, figures, rs.itemMode, value, unit);
      if (rs.itemMode) {
        rs.itemFound = true;
        rs.messageBuffer.clear();
        if (itemName != ToUpper(figures.name)) continue;
        WriteChannel(rs, rs.systemLabel, value, unit);
      } else {
        WriteChannel(rs, figures.name, value, unit);
      }
      PrintMessageBuffer(rs);
    }
    if (!rs.itemMode) EndDocument(rs);
  } else {
    AppendResultMessage(rs, result, reply.exception);
  }
  if (rs.rfc.ItDelete(table) != 0) RfcErrorHandler(const_cast<char*>("ItDelete TS"));
  return result;
}

}  // namespace fennick
