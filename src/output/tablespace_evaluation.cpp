#include "output/tablespace_evaluation.h"

#include <limits>

#include "output/numbers.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// Landscapes are far below the limits; hostile rows must not overflow.
int64_t SaturatingAdd(int64_t a, int64_t b) {
  if (b > 0 && a > std::numeric_limits<int64_t>::max() - b) return std::numeric_limits<int64_t>::max();
  if (b < 0 && a < std::numeric_limits<int64_t>::min() - b) return std::numeric_limits<int64_t>::min();
  return a + b;
}

}  // namespace

ChannelUnit ChannelUnitOf(const std::string& parameterString) {
  // Tested after MEGABYTE, so GIGABYTE wins when both are given.
  if (Contains(parameterString, "GIGABYTE")) return ChannelUnit::Gigabyte;
  if (Contains(parameterString, "MEGABYTE")) return ChannelUnit::Megabyte;
  return ChannelUnit::Percent;
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

void ChannelValue(ChannelUnit unit, const TablespaceRow& row, bool itemRun, std::string& value, std::string& unitText) {
  switch (unit) {
    case ChannelUnit::Percent:
      value = std::to_string(100 - static_cast<int64_t>(row.pctUsed));
      unitText = itemRun ? "%" : "PerCent";
      break;
    case ChannelUnit::Megabyte:
      value = std::to_string(row.freeKb / 1000);
      unitText = "MByte";
      break;
    case ChannelUnit::Gigabyte:
      value = std::to_string(row.freeKb / 1000000);
      unitText = "GByte";
      break;
  }
}

bool EvaluateTablespaces(ResultWriter& writer, const std::vector<TablespaceRow>& rows,
                         const EvaluationRequest& request) {
  int64_t totalSize = 0;
  int64_t totalFree = 0;
  for (const TablespaceRow& row : rows) {
    totalSize = SaturatingAdd(totalSize, row.sizeKb);
    totalFree = SaturatingAdd(totalFree, row.freeKb);
  }
  if (!request.itemMode) {
    BeginDocument(writer);
    BeginText(writer);
    AppendText(writer, SummaryLine(request.destination, rows.size(), totalSize, totalFree));
    EndText(writer);
  }
  // In an item run this writes whatever the run put there, without a text line.
  PrintMessageBuffer(writer);
  const std::string itemName = ToUpper(request.itemName);
  bool itemFound = false;
  for (const TablespaceRow& row : rows) {
    std::string value, unit;
    ChannelValue(request.unit, row, request.itemMode, value, unit);
    if (request.itemMode) {
      itemFound = true;  // any row at all, whether or not it is the item
      writer.messageBuffer.clear();
      if (itemName != ToUpper(row.name)) continue;
      WriteChannel(writer, request.systemLabel, value, unit);
    } else {
      WriteChannel(writer, row.name, value, unit);
    }
    PrintMessageBuffer(writer);
  }
  if (!request.itemMode) EndDocument(writer);
  return itemFound;
}

}  // namespace fennick
