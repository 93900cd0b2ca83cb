// The measurement: free space of the Oracle tablespaces of one system.
#pragma once

#include <cstdint>
#include <string>

#include "rfc/rfc_api.h"

namespace fennick {

struct RunState;

// What one row of table TS tells about its tablespace.
struct TablespaceFigures {
  std::string name;  // without trailing blanks
  int64_t sizeKb = 0;
  int64_t freeKb = 0;
  int32_t pctUsed = 0;
};

TablespaceFigures ReadTablespaceRow(const unsigned char* row);

// The summary line's text: "(DEST) OraSizes: NoSpc=..., Free=..% ".
std::string SummaryLine(const std::string& destination, uint64_t rows, int64_t totalSizeKb, int64_t totalFreeKb);

// The channel value and unit of one tablespace, by the unit keywords.
void ChannelValue(const std::string& parameterString, const TablespaceFigures& figures, bool itemRun,
                  std::string& value, std::string& unit);

// Fetches the tablespace sizes and writes the sensor result, printing it
// piece by piece. Returns the result code of the remote call; sets
// ResultCode "OK" on success.
int EvaluateTablespaces(RunState& rs, RFC_HANDLE handle);

}  // namespace fennick
