// The measurement: free space of the Oracle tablespaces of one system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rfc/tablespace_row.h"

namespace fennick {

struct ResultWriter;
struct ChannelOut;
struct DaysLeft;
struct GrowthSeen;

enum class ChannelUnit { Percent, Megabyte, Gigabyte };

// How the rows become channels.
struct ChannelRules {
  ChannelUnit unit = ChannelUnit::Percent;
  bool autoextend = false;            // free space against the autoextend maximum where a row has one
  bool alerting = false;              // limits are given: a tablespace not online alerts too
  std::vector<std::string> excluded;  // upper-case names left out of a single system's channels
  bool daysLeft = false;              // whole days until full, as forecast for each row
};

// The unit of a channel in days until full.
extern const char kDaysUnit[];  // "days"

// Takes a channel's growth into what the summary says of it.
void AddGrowthSeen(GrowthSeen& seen, const DaysLeft& daysLeft);

// What the summary says of growth: " - growth not known" where a history
// could not be kept, else " - growth known in N h" while a channel's growth
// is not known yet, else nothing.
std::string GrowthNote(const GrowthSeen& seen);

// The summary line's text: "(DEST) OraSizes: NoSpc=..., Free=..% ".
std::string SummaryLine(const std::string& destination, uint64_t rows, int64_t totalSizeKb, int64_t totalFreeKb);

// The channel value and unit of one tablespace, against its current size.
void ChannelValue(ChannelUnit unit, const TablespaceRow& row, bool itemRun, std::string& value, std::string& unitText);

// The autoextend maximum of a row, in KB, where it has one: TSAU above the
// current size.
std::optional<int64_t> AutoextendMaximum(const TablespaceRow& row);

// The channel of one tablespace by the rules, named `label`; in days until
// full with `daysLeft` (the forecast of the row), where the rules ask for it.
ChannelOut ChannelOf(const TablespaceRow& row, const std::string& label, const ChannelRules& rules, bool itemRun,
                     const DaysLeft* daysLeft = nullptr);

// A single-profile run's result for the rows, into the message buffer: the
// document's start, the summary line and a channel per tablespace but for
// those the rules exclude, in the order and with the text the form
// arranges; the summary counts them all. The caller appends the end.
// `daysLeft` holds the forecast of each row, in their order, where the
// rules ask for days.
void WriteSystemResult(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& destination,
                       const ChannelRules& rules, const std::vector<DaysLeft>& daysLeft);

// A group run's channel of one system, into the message buffer: one for
// each row whose name is the item's, whatever its case, named with the
// system's label; what they say of growth goes into the writer's
// GrowthSeen. `systemsAfter` listed systems may still give a channel each.
// Returns how many it wrote.
int WriteItemChannels(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& itemName,
                      const std::string& systemLabel, const std::string& profileName, const ChannelRules& rules,
                      size_t systemsAfter, const std::vector<DaysLeft>& daysLeft);

}  // namespace fennick
