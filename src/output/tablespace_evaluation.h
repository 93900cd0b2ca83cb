// The measurement: free space of the Oracle tablespaces of one system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rfc/tablespace_row.h"

namespace fennick {

struct ResultWriter;

enum class ChannelUnit { Percent, Megabyte, Gigabyte };

// The unit the parameters ask for: GIGABYTE wins over MEGABYTE.
ChannelUnit ChannelUnitOf(const std::string& parameterString);

// What the evaluation of one system reads besides its rows.
struct EvaluationRequest {
  std::string destination;  // for the summary line
  ChannelUnit unit = ChannelUnit::Percent;
  bool itemMode = false;
  std::string itemName;     // item run: the one tablespace that gets a channel
  std::string systemLabel;  // item run: the channel's name
};

// The summary line's text: "(DEST) OraSizes: NoSpc=..., Free=..% ".
std::string SummaryLine(const std::string& destination, uint64_t rows, int64_t totalSizeKb, int64_t totalFreeKb);

// The channel value and unit of one tablespace.
void ChannelValue(ChannelUnit unit, const TablespaceRow& row, bool itemRun, std::string& value, std::string& unitText);

// Writes the sensor result for the rows, printing it piece by piece: the
// summary line and a channel per tablespace, or in an item run the channel
// of the item. Returns whether the item run found a table with rows.
bool EvaluateTablespaces(ResultWriter& writer, const std::vector<TablespaceRow>& rows,
                         const EvaluationRequest& request);

}  // namespace fennick
