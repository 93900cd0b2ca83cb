// A system's history file, kept in a folder beside the files of other
// systems: read, added to and written back whole, under a lock of its own,
// by every run that forecasts the system's tablespaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/growth_forecast.h"

namespace fennick {

// Samples are kept this long.
constexpr int64_t kHistorySeconds = 8 * 86400;

// A tablespace as measured now.
struct TablespaceNow {
  std::string name;
  int64_t usedKb = 0;
  int64_t capacityKb = 0;
};

struct KeptHistory {
  bool kept = false;               // read (or started anew) and written back
  std::vector<Growth> growth;      // when kept: for each tablespace measured, in their order
  std::vector<std::string> notes;  // what an administrator should know: why not kept, a file set aside
};

// The file of a system in the history folder: "DEST_CLIENT_host.history",
// the destination upper-cased and the host lower-cased as SAP and DNS
// compare them, every byte that a file name cannot carry safely written
// "%" and two hex digits, and a name too long shortened with a checksum.
std::string HistoryFileName(const std::string& destination, const std::string& client, const std::string& host);

// Adds this run's samples, taken at `now`, to the history in `fileName`
// of `folder` (made when missing): a later sample in the same hour
// replaces the earlier one, samples older than kHistorySeconds go, and so
// do samples from more than an hour ahead of `now` (a clock set back). A
// file of another format, a broken one, or a link or anything else in its
// place is set aside as "NAME.bad" and started anew. Then the growth of
// each tablespace measured. Runs side by side, in one process or many,
// take turns through "NAME.lock"; a run killed while writing leaves the
// file as it was. The file is read and written a piece at a time, never
// held whole: a week of a large system's samples is a few hundred KB.
KeptHistory KeepHistory(const std::string& folder, const std::string& fileName, const std::vector<TablespaceNow>& now,
                        int64_t nowSeconds);

}  // namespace fennick
