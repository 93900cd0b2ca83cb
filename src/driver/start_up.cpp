#include "driver/start_up.h"

#include "driver/console.h"
#include "driver/plugin_options.h"
#include "driver/run_end.h"
#include "driver/settings.h"
#include "output/print.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"
#include "rfc/backends.h"

namespace fennick {

namespace {

const char kProfileExtension[] = ".P00";

// Who the run is about, for the forms that name it: a single-profile run's
// system by its profile (so that its name stays the same whatever the run
// finds, PRD for PRD.P00), an item run's item.
void NameRun(RunState& rs) {
  ResultWriter& w = rs.writer;
  w.itemRun = rs.run.itemMode;
  w.itemName = rs.run.itemName;
  w.systemLabel.clear();
  if (w.itemRun) return;
  std::string name = rs.run.profileName.substr(rs.run.profileName.find_last_of("\\/") + 1);
  const size_t extension = name.size() >= 4 ? name.size() - 4 : 0;
  if (ToUpper(name.substr(extension)) == kProfileExtension) name.erase(extension);
  w.systemLabel = name;
}

// What standard output says when the result's file cannot be written.
RunFailure OutputFileFailure() { return NumberedFailure(1031, "Invalid Parameter-Value -o !"); }

void SendResultToOutputFile(RunState& rs) {
  ResultWriter undelivered = rs.writer;
  WriteErrorDocument(undelivered, OutputFileFailure());
  SendResultToFile(*rs.switches.outputFile, undelivered.messageBuffer, ExitCodeFor(undelivered, kExitError));
}

// The form Fennick.Ini names; a form keyword in the parameters (",NAGIOS")
// chooses its form over it. Console lines then go where the form wants them,
// and a result file's own error is the form's.
void ChooseForm(RunState& rs) {
  const std::string& chosen = rs.switches.formChosen;
  const OutputForm* form = FindOutputForm(chosen.empty() ? rs.switches.outputMode : chosen);
  if (form) rs.writer.form = form;
  SetConsoleOnStandardError(rs.writer.form->consoleOnStandardError);
  SetConsoleSilent(rs.writer.form->consoleSilent);
  if (rs.resultToFile) SendResultToOutputFile(rs);
}

// "-o FILE": from here on the result goes into the file, when it can be
// written there; else the error says so on standard output, before any
// logon.
Failure OpenOutputFile(RunState& rs) {
  if (!rs.switches.outputFile) return std::nullopt;
  std::string why;
  if (!CanReplaceWhole(*rs.switches.outputFile, why)) {
    if (rs.switches.consoleReport) PrintText(NoteLine(*rs.switches.outputFile + " cannot be written: " + why));
    return OutputFileFailure();
  }
  rs.resultToFile = true;
  SendResultToOutputFile(rs);
  return std::nullopt;
}

}  // namespace

void ReadArguments(RunState& rs, const std::vector<std::string>& args) {
  rs.programPath = OwnExecutablePath(args[0].c_str());
  RunParameters& run = rs.run;
  // Every argument counts: monitors split what users type at blanks.
  run.parameterText = ParameterWords(args, rs.optionKeywords, run.secondArgument, rs.switches);
  run.parameterString = ToUpper(run.parameterText);
  rs.commandParameters = run.parameterText;
  ReadKeywords(run.parameterString, run.parameterText, kCommandLine, rs.switches);
  ReadKeywords(ToUpper(rs.optionKeywords), rs.optionKeywords, kCommandLine, rs.switches);
  CompareWithOptions(run.parameterString, run.parameterText, rs.optionKeywords, rs.switches);
  CompleteProfileName(run, args[1], rs.switches.item);
  NameRun(rs);
}

Failure StartRun(RunState& rs, const std::vector<std::string>& args) {
  rs.startMilliseconds = MonotonicMilliseconds();
  // First, before any thread: a monitor's request to stop ends the run as
  // its time budget would, children and private folders included.
  CatchStopRequests(rs.startMilliseconds, EndFromOutside);
  rs.writer.startMilliseconds = rs.startMilliseconds;
  rs.startTime = LocalTimeOfDay();
  rs.banner = BannerLine(rs.startTime);
  rs.key = BuildPasswordKey();
  rs.writer.channelCounter = 0;

  if (args.size() < 2) return NumberedFailure(1001, "Parameter for Profile-Name is missing !");
  ReadArguments(rs, args);

  Failure settingsProblem = ReadInstallationSettings(rs.switches, rs.programPath);
  ChooseForm(rs);  // a plugin's own settings error reads as one
  if (Failure problem = OpenOutputFile(rs)) return problem;
  if (settingsProblem) return settingsProblem;
  OpenTraceLog(rs.trace, rs.switches.syslog);
  const bool searchSensorDirectories = !rs.writer.form->profileAsGiven && !rs.switches.profileAsGiven;
  const std::string& driveRoot = rs.switches.driveRoot;
  const std::string programDirectory = ProgramPathOf(NativeDirectoryOf(rs.programPath), driveRoot);
  return FindProfile(rs.run, searchSensorDirectories, driveRoot, programDirectory, rs.profileFile);
}

void ReadSensorKeywords(RunState& rs) {
  RunSwitches& switches = rs.switches;
  ForgetSensorKeywords(switches);
  ReadKeywords(rs.run.parameterString, rs.run.parameterText, kSensorLine, switches);
  // The words after the sensor's key, and the options, win over its line.
  // The key ends at the first blank or comma ("PSAPSR3,WARN=25").
  const size_t keyEnd = rs.commandParameters.find_first_of(" ,");
  const std::string tail = keyEnd == std::string::npos ? std::string() : rs.commandParameters.substr(keyEnd);
  ReadKeywords(ToUpper(tail), tail, kSensorLine, switches);
  ReadKeywords(ToUpper(rs.optionKeywords), rs.optionKeywords, kSensorLine, switches);
}

Failure SettleSwitches(RunState& rs) {
  NameRun(rs);  // a global sensor's item is known now
  if (Failure problem = KeywordProblem(rs.switches)) return problem;
  ApplyWriterSwitches(rs.switches, rs.writer);
  ChooseForm(rs);
  const int defaultBudget = rs.writer.form->defaultBudgetSeconds;
  if (!rs.switches.timeout && defaultBudget > 0) rs.switches.timeout = defaultBudget;
  if (rs.writer.form->monitorForecasts) rs.switches.daysLeft = false;
  rs.daysLeft = PlanDaysLeft(rs.switches, rs.run);
  return std::nullopt;
}

Failure BindLibrary(RunState& rs) {
  RfcBackend bound;
  if (std::optional<std::string> problem = BindRfcBackend(rs.switches.rfcLibrary, rs.programPath, bound)) {
    return RunFailure{*problem};
  }
  // An end from outside may look at the back end from another thread.
  RunLock lock;
  rs.rfc = bound;
  return std::nullopt;
}

}  // namespace fennick
