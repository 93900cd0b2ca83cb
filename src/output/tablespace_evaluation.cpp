#include "output/tablespace_evaluation.h"

#include <algorithm>
#include <limits>

#include "output/numbers.h"
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

int64_t SaturatingSubtract(int64_t a, int64_t b) {
  if (b == std::numeric_limits<int64_t>::min()) return a >= 0 ? std::numeric_limits<int64_t>::max() : a - b;
  return SaturatingAdd(a, -b);
}

const char kOnline[] = "ONLINE";

// A row whose forecast the run does not hold: its growth is not known.
DaysLeft NotKnown() {
  DaysLeft daysLeft;
  daysLeft.notKept = true;
  return daysLeft;
}

const DaysLeft* DaysLeftOf(const std::vector<DaysLeft>& daysLeft, size_t row) {
  return row < daysLeft.size() ? &daysLeft[row] : nullptr;
}

}  // namespace

const char kDaysUnit[] = "days";

void AddGrowthSeen(GrowthSeen& seen, const DaysLeft& daysLeft) {
  seen.notKept = seen.notKept || daysLeft.notKept;
  if (daysLeft.hoursToKnow > 0 && (seen.hoursToKnow == 0 || daysLeft.hoursToKnow < seen.hoursToKnow)) {
    seen.hoursToKnow = daysLeft.hoursToKnow;
  }
}

std::string GrowthNote(const GrowthSeen& seen) {
  if (seen.notKept) return " - growth not known";
  if (seen.hoursToKnow > 0) return " - growth known in " + std::to_string(seen.hoursToKnow) + " h";
  return std::string();
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

std::optional<int64_t> AutoextendMaximum(const TablespaceRow& row) {
  if (!row.autoextendKb || *row.autoextendKb <= row.sizeKb) return std::nullopt;
  return row.autoextendKb;
}

ChannelOut ChannelOf(const TablespaceRow& row, const std::string& label, const ChannelRules& rules, bool itemRun,
                     const DaysLeft* daysLeft) {
  ChannelOut out;
  out.name = label;
  out.row = &row;
  ChannelValue(rules.unit, row, itemRun, out.value, out.unit);
  const std::optional<int64_t> maximum = rules.autoextend ? AutoextendMaximum(row) : std::nullopt;
  // The room the data files may still grow into, used space taken off.
  const int64_t room = maximum ? SaturatingSubtract(*maximum, SaturatingSubtract(row.sizeKb, row.freeKb)) : 0;
  // What the free space is measured against, so that graphs show the fill level.
  const int64_t capacity = maximum ? *maximum : row.sizeKb;
  switch (rules.unit) {
    case ChannelUnit::Percent:
      if (maximum) out.value = std::to_string(100 - static_cast<int64_t>(row.autoextendPct));
      break;
    case ChannelUnit::Megabyte:
      if (maximum) out.value = std::to_string(room / 1000);
      out.max = capacity / 1000;
      break;
    case ChannelUnit::Gigabyte:
      if (maximum) out.value = std::to_string(room / 1000000);
      out.max = capacity / 1000000;
      break;
  }
  if (rules.daysLeft) {
    out.daysLeft = daysLeft ? *daysLeft : NotKnown();
    out.value = std::to_string(out.daysLeft->days);
    out.unit = kDaysUnit;
    out.max.reset();
  }
  if (rules.alerting && !row.status.empty() && row.status != kOnline) out.offline = row.status;
  return out;
}

void WriteSystemResult(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& destination,
                       const ChannelRules& rules, const std::vector<DaysLeft>& daysLeft) {
  const std::vector<std::string>& excluded = rules.excluded;
  int64_t totalSize = 0;
  int64_t totalFree = 0;
  std::vector<ChannelOut> channels;
  GrowthSeen growth;
  for (size_t i = 0; i < rows.size(); ++i) {
    const TablespaceRow& row = rows[i];
    totalSize = SaturatingAdd(totalSize, row.sizeKb);
    totalFree = SaturatingAdd(totalFree, row.freeKb);
    if (std::find(excluded.begin(), excluded.end(), ToUpper(row.name)) != excluded.end()) continue;
    channels.push_back(ChannelOf(row, row.name, rules, false, DaysLeftOf(daysLeft, i)));
    if (channels.back().daysLeft) AddGrowthSeen(growth, *channels.back().daysLeft);
  }
  const std::string summary = SummaryLine(destination, rows.size(), totalSize, totalFree) + GrowthNote(growth);
  // A form that arranges nothing takes the channels as they come.
  const std::string text = writer.form->arrangeSystem ? writer.form->arrangeSystem(writer, summary, channels) : summary;
  BeginDocument(writer);
  BeginText(writer);
  AppendText(writer, text);
  EndText(writer);
  for (const ChannelOut& channel : channels) WriteChannel(writer, channel);
}

int WriteItemChannels(ResultWriter& writer, const std::vector<TablespaceRow>& rows, const std::string& itemName,
                      const std::string& systemLabel, const std::string& profileName, const ChannelRules& rules,
                      size_t systemsAfter, const std::vector<DaysLeft>& daysLeft) {
  const std::string item = ToUpper(itemName);
  writer.systemsToCome = systemsAfter;
  int written = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const TablespaceRow& row = rows[i];
    if (item != ToUpper(row.name)) continue;
    ChannelOut channel = ChannelOf(row, systemLabel, rules, true, DaysLeftOf(daysLeft, i));
    channel.profile = profileName;
    if (channel.daysLeft) AddGrowthSeen(writer.growth, *channel.daysLeft);
    WriteChannel(writer, channel);
    ++written;
  }
  return written;
}

}  // namespace fennick
