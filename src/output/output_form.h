// An output form: one constant table of operations that writes a result in
// the form a monitor reads. Each form lives in a file of its own; the run
// chooses one at start by its name, and nothing after that asks which form
// it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile/failure.h"
#include "rfc/tablespace_row.h"

namespace fennick {

struct ResultWriter;
struct HandlerReport;
struct RunFailure;

// ",DAYSLEFT": a tablespace's whole days until full, and what is known of
// its growth. Until it is known the value is the most a forecast says.
struct DaysLeft {
  int64_t days = 3650;
  int64_t hoursToKnow = 0;  // growth not known yet: hours until it is; 0 when known
  bool notKept = false;     // its history could not be kept: growth not known
};

// What a run's channels in days say of growth, for its summary: the fewest
// hours until a channel's growth is known (0: every one is known), and
// whether a history could not be kept.
struct GrowthSeen {
  int64_t hoursToKnow = 0;
  bool notKept = false;
};

// A channel as the forms write it.
struct ChannelOut {
  std::string name;
  std::string value;
  std::string unit;
  // The tablespace's size in the channel's unit (its autoextend maximum with
  // ,AUTOEXTEND), where the unit is not percent.
  std::optional<int64_t> max;
  std::string offline;  // the status of a tablespace not online, where it alerts
  // The tablespace behind the channel, for the forms that write its own
  // figures rather than the value; and in an item run the listed profile
  // of the system the channel is named for.
  const TablespaceRow* row = nullptr;
  std::string profile;
  std::optional<DaysLeft> daysLeft;  // a channel in days until full
};

// A listed system that gave no channel, as the output names it.
struct UnmeasuredSystem {
  std::string label;      // the channel's label, or the name as listed
  std::string state;      // "Rfc Failure", "Timeout", "Profile missing", "no tablespace ITEM"
  std::string reason;     // the library's reason, where one is known
  bool measured = false;  // reached and measured, but without the item
  std::string profile;    // the name as listed
  Failure failure;        // the error a run of this system alone would report, where it failed
};

// How a group run's document closes.
struct GroupSummary {
  std::string text;                          // "(***) ITEM: NoSystems=..."
  bool atLeastWarning = false;               // failed or cut-off systems
  std::vector<UnmeasuredSystem> unmeasured;  // in listing order
  std::string itemName;
};

// Each form fills its table slot by slot, each slot by its name (see
// form_exexml.cpp), so that a slot added here can never shift another.
struct OutputForm {
  const char* name = "";  // as Fennick.Ini writes it
  // PRTG's own sensor form: only it carries limits in its channels, and it
  // shows at most this many channels (0: no limit).
  bool prtgSensor = false;
  int channelRoom = 0;
  // The profile is read from the path given rather than searched in the
  // monitor's sensor directories.
  bool profileAsGiven = false;
  // Standard output holds the result alone; console lines go elsewhere.
  bool consoleOnStandardError = false;
  // Standard error stays empty too: no console lines, no notes anywhere
  // (a monitor's agent takes them into the value).
  bool consoleSilent = false;
  // The time budget of a run that gives none, in seconds (0: none).
  int defaultBudgetSeconds = 0;
  // Its monitor forecasts from the figures itself: ",DAYSLEFT" changes
  // nothing and keeps no history.
  bool monitorForecasts = false;

  // A single system's result: the document, its text line, the channels.
  void (*beginDocument)(ResultWriter& w) = nullptr;
  void (*beginText)(ResultWriter& w) = nullptr;
  void (*appendText)(ResultWriter& w, const std::string& text) = nullptr;
  void (*endText)(ResultWriter& w) = nullptr;
  // A single system's channels put in the order the form writes them, and
  // its text line made from the summary; none: as they come.
  std::string (*arrangeSystem)(ResultWriter& w, const std::string& summary,
                               std::vector<ChannelOut>& channels) = nullptr;
  void (*channel)(ResultWriter& w, const ChannelOut& channel) = nullptr;
  void (*endDocument)(ResultWriter& w) = nullptr;

  // A group's document: its opening, a system without a channel, its close.
  void (*beginGroup)(ResultWriter& w) = nullptr;
  void (*systemState)(ResultWriter& w, const UnmeasuredSystem& system) = nullptr;
  void (*summary)(ResultWriter& w, const GroupSummary& summary) = nullptr;

  // An error that ends the run: alone, or closing a document already open.
  void (*error)(ResultWriter& w, const RunFailure& failure) = nullptr;
  void (*errorEnd)(ResultWriter& w, const RunFailure& failure) = nullptr;
  // The library's fatal report; in a group, `system` is the label of the
  // system it came from.
  void (*handlerReport)(ResultWriter& w, const HandlerReport& report, bool documentOpen,
                        const std::string& system) = nullptr;

  // The exit code of a run whose output is complete.
  int (*exitCode)(const ResultWriter& w, int runExitCode) = nullptr;
};

// The form of that name, exactly as written; null for none.
const OutputForm* FindOutputForm(const std::string& name);

// The names of the forms, for messages: "EXEXML, Lumenox, ... or Nagios".
std::string OutputFormNames();

// A form outside the list: no document frame, channels as XML.
const OutputForm& UnlistedOutputForm();

}  // namespace fennick
