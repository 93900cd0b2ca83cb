// ",DAYSLEFT": each measured system's history is kept, and its tablespaces'
// days until full are forecast from it. The history is the system's own
// file; the work is done on whichever road measured the system, outside the
// run's lock, so that the systems of a group keep theirs side by side.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/keywords.h"
#include "output/output_form.h"
#include "profile/run_parameters.h"
#include "rfc/backend.h"

namespace fennick {

// The folder of the histories without "Historydir.:": in the working folder.
extern const char kDefaultHistoryFolder[];  // "FennickHistory"

struct DaysLeftPlan {
  std::string folder;                 // as the platform opens it
  std::string itemName;               // an item run's tablespace; empty: a single system's
  std::vector<std::string> excluded;  // upper-case names a single system leaves out
};

// The run's plan, where its switches ask for days until full.
std::optional<DaysLeftPlan> PlanDaysLeft(const RunSwitches& switches, const RunParameters& run);

// Adds the samples of the tablespaces the run shows to the system's
// history and forecasts from it: each row's days until full, in row order.
// A history that cannot be kept leaves the measurement as it is: its
// channels' growth is not known, and the console report gets a note (so it
// does of a broken file set aside).
std::vector<DaysLeft> ForecastDaysLeft(const DaysLeftPlan& plan, const LogonRequest& request,
                                       const std::vector<TablespaceRow>& rows, RfcWork& work);

}  // namespace fennick
