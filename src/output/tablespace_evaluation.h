// The measurement: free space of the Oracle tablespaces of one system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rfc/tablespace_row.h"

namespace fennick {

struct ResultWriter;

enum class ChannelUnit { Percent, Megabyte, Gigabyte };

// The summary line's text: "(DEST) OraSizes: NoSpc=..., Free=..% ".
std::string SummaryLine(const std::string& destination, uint64_t rows, int64_t totalSizeKb, int64_t totalFreeKb);

// The channel value and unit of one tablespace.
void ChannelValue(ChannelUnit unit, const TablespaceRow& row, bool itemRun, std::string& value, std::string& unitText);

// A single-profile run's result for the rows, into the message buffer: the
// document's start, the summary line and a channel per tablespace but for
// the `excluded` ones (upper-case names); the summary counts them all. The
// caller appends the end.
void WriteSystemResult(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& destination,
                       ChannelUnit unit, const std::vector<std::string>& excluded);

// A group run's channel of one system, into the message buffer: one for
// each row whose name is the item's, whatever its case, named with the
// system's label. Returns how many it wrote.
int WriteItemChannels(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& itemName,
                       const std::string& systemLabel, ChannelUnit unit);

}  // namespace fennick
