// The run's switches, and the one table of keywords that sets them: each
// keyword's name, where it may come from, how its value is read and the
// field it sets. Lower folders receive the switches they read, never the
// parameter text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/tablespace_evaluation.h"
#include "profile/failure.h"

namespace fennick {

struct ResultWriter;
struct LogonRequest;
struct SystemEntry;

// Where a keyword may come from.
enum KeywordSource : unsigned {
  kCommandLine = 1,  // the parameters after the profile
  kSensorLine = 2,   // a global sensor's "# GSNX:" line
};

struct RunSwitches {
  // The command line's alone.
  bool consoleReport = false;       // "#", "@", "$", "%"
  bool profileAsGiven = false;      // "@": the profile from the path given
  bool syslog = false;              // ",SYSLOG": the trace in Fennick.Log
  std::optional<std::string> item;  // "ITEM=": an item run over Vireo.Prf
  // Also a global sensor's line.
  // The form a keyword of the parameters chose (",NAGIOS": "Nagios"), over
  // Fennick.Ini; empty for none. A second, other one is a typing error.
  std::string formChosen;
  std::string formKeyword;
  Failure badForm;
  std::optional<std::string> hostOverride;   // ",HOST="
  std::optional<std::string> sysnrOverride;  // ",NO="
  bool megabyte = false;                     // "MEGABYTE"
  bool gigabyte = false;                     // "GIGABYTE"
  std::optional<int64_t> channel;            // "CH=": Tessary's one channel
  std::optional<int64_t> warning;            // ",WARN="
  std::optional<int64_t> error;              // ",ERROR="
  std::optional<int64_t> timeout;            // ",TIMEOUT=": seconds
  std::optional<int64_t> parallel;           // ",PARALLEL=": systems at once
  std::optional<std::string> exclude;        // ",EXCLUDE=": tablespaces left out, ":" between
  bool autoextend = false;                   // ",AUTOEXTEND": free space against the maximum
  bool daysLeft = false;                     // ",DAYSLEFT": whole days until full, from a history
  // The first keyword whose value is bad, in table order, and which it is:
  // Error 1031, reported once the run has found its profiles. A later
  // source that gives the keyword a good value takes it back.
  Failure badValue;
  std::string badKeyword;
  // A command-line option no one knows ("-x"): Error 1031 with its text.
  Failure badOption;
  // The first word that looks like a keyword but is none (",WARNING="), and
  // a keyword that an option beside it sets to another value: Error 1031.
  Failure unknownWord;
  Failure conflict;
  std::optional<std::string> outputFile;  // "-o FILE": the result into FILE

  // Fennick.Ini.
  std::string outputMode = "EXEXML";  // "Outputmode.:", checked against the forms
  std::string driveRoot = "/";        // "Driveroot..:"
  std::string rfcLibrary;             // "Rfclibrary.:": empty for the one that loads
  std::string historyDir;             // "Historydir.:": the folder of the histories, as written
};

// A group's systems measured at once without ",PARALLEL=".
constexpr int kDefaultParallel = 8;

// Reads the keywords that `source` may give from the parameters, upper-cased
// for the search and as typed for the values (the same positions). A keyword
// found replaces what an earlier source gave. Words are taken whole and a
// keyword's value is never searched; a word written as keywords are (a
// comma and two letters, or two letters and "=" at the start or after a
// blank) that no table knows is remembered as the run's unknown word.
void ReadKeywords(const std::string& parameterString, const std::string& parameterText, unsigned source,
                  RunSwitches& switches);

// The command line's keywords against its options (as keyword text): one
// setting given two values is a conflict for its keyword.
void CompareWithOptions(const std::string& parameterString, const std::string& parameterText,
                        const std::string& options, RunSwitches& switches);

// Forgets what the command line gave of the keywords a sensor line may
// give: a global sensor's own line sets them.
void ForgetSensorKeywords(RunSwitches& switches);

// The run's keyword problem once its sources are all read, in the order
// they are named: a bad option, an unknown word, a conflict with an option,
// two forms, a bad limit, a warning limit below the error limit, any other
// bad value.
Failure KeywordProblem(const RunSwitches& switches);

// The tablespaces ",EXCLUDE=" names, upper-cased.
std::vector<std::string> ExcludedNames(const RunSwitches& switches);

// The unit the channels are written in: GIGABYTE wins over MEGABYTE.
ChannelUnit UnitOf(const RunSwitches& switches);

// How the rows become channels: the unit, the autoextend maximum, whether
// limits are given, the tablespaces left out.
ChannelRules RulesOf(const RunSwitches& switches);

// The time budget in seconds, 0 for none; the group's width.
int BudgetSeconds(const RunSwitches& switches);
int ParallelOf(const RunSwitches& switches);

// Hands the writer the switches it reads: limits and CH=.
void ApplyWriterSwitches(const RunSwitches& switches, ResultWriter& writer);

// A logon for an entry, with the overrides and the console switch; the
// profile's directory (as the program writes paths) is where its parameter
// file may lie too.
LogonRequest LogonFor(const RunSwitches& switches, const SystemEntry& entry, const std::string& profileDirectory);

}  // namespace fennick
