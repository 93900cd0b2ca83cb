#include "driver/days_left.h"

#include <limits>

#include "driver/console.h"
#include "history/history_store.h"
#include "output/tablespace_evaluation.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/run_lock.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// Packed sizes have 15 digits; a back end's text may have more.
int64_t UsedKb(const TablespaceRow& row) {
  const int64_t most = std::numeric_limits<int64_t>::max();
  const int64_t least = std::numeric_limits<int64_t>::min();
  if (row.freeKb < 0 && row.sizeKb > most + row.freeKb) return most;
  if (row.freeKb > 0 && row.sizeKb < least + row.freeKb) return least;
  return row.sizeKb - row.freeKb;
}

// Full means used reaching the autoextend maximum where the row has one,
// else its size.
int64_t CapacityKb(const TablespaceRow& row) { return AutoextendMaximum(row).value_or(row.sizeKb); }

bool Shown(const DaysLeftPlan& plan, const TablespaceRow& row) {
  const std::string name = ToUpper(row.name);
  if (!plan.itemName.empty()) return name == ToUpper(plan.itemName);
  for (const std::string& excluded : plan.excluded) {
    if (name == excluded) return false;
  }
  return true;
}

// The host the system is reached on: the override, its application server
// or its gateway.
std::string HostOf(const LogonRequest& request) {
  if (request.hostOverride) return *request.hostOverride;
  return request.entry.hostname.empty() ? request.entry.gwhost : request.entry.hostname;
}

}  // namespace

const char kDefaultHistoryFolder[] = "FennickHistory";

std::optional<DaysLeftPlan> PlanDaysLeft(const RunSwitches& switches, const RunParameters& run) {
  if (!switches.daysLeft) return std::nullopt;
  DaysLeftPlan plan;
  plan.folder =
      switches.historyDir.empty() ? kDefaultHistoryFolder : NativePath(switches.historyDir, switches.driveRoot);
  if (run.itemMode) {
    plan.itemName = run.itemName;
  } else {
    plan.excluded = ExcludedNames(switches);
  }
  return plan;
}

std::vector<DaysLeft> ForecastDaysLeft(const DaysLeftPlan& plan, const LogonRequest& request,
                                       const std::vector<TablespaceRow>& rows, RfcWork& work) {
  std::vector<DaysLeft> daysLeft(rows.size());
  std::vector<TablespaceNow> now;
  std::vector<size_t> rowOf;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!Shown(plan, rows[i])) continue;
    now.push_back(TablespaceNow{rows[i].name, UsedKb(rows[i]), CapacityKb(rows[i])});
    rowOf.push_back(i);
  }
  if (now.empty()) return daysLeft;
  const SystemEntry& entry = request.entry;
  const KeptHistory kept =
      KeepHistory(plan.folder, HistoryFileName(entry.destination, entry.client, HostOf(request)), now, UtcSeconds());
  if (request.consoleReport && !kept.notes.empty()) {
    // Under the run's lock, as every reading of the clock of day.
    RunLock lock;
    for (const std::string& note : kept.notes) work.consoleLines.push_back(NoteLine(note));
    if (work.noted) work.noted(work.notedContext, work);
  }
  for (size_t j = 0; j < now.size(); ++j) {
    DaysLeft& days = daysLeft[rowOf[j]];
    const Growth growth = kept.kept ? kept.growth[j] : Growth{};
    // A tablespace full already is full whatever its history says.
    days.days = DaysUntilFull(now[j].capacityKb, now[j].usedKb, growth.known ? growth.kbPerDay : 0.0);
    days.notKept = !kept.kept;
    days.hoursToKnow = kept.kept && !growth.known ? growth.hoursToKnow : 0;
  }
  return daysLeft;
}

}  // namespace fennick
