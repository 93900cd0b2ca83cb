#include "driver/start_up.h"

#include "driver/console.h"
#include "driver/settings.h"
#include "output/print.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"
#include "rfc/backends.h"

namespace fennick {

namespace {

// The form Fennick.Ini names; a form keyword in the parameters (",NAGIOS")
// chooses its form over it. Console lines then go where the form wants them.
void ChooseForm(RunState& rs) {
  const std::string& chosen = rs.switches.formChosen;
  const OutputForm* form = FindOutputForm(chosen.empty() ? rs.switches.outputMode : chosen);
  if (form) rs.writer.form = form;
  SetConsoleOnStandardError(rs.writer.form->consoleOnStandardError);
}

}  // namespace

void ReadArguments(RunState& rs, const std::vector<std::string>& args) {
  rs.programPath = OwnExecutablePath(args[0].c_str());
  RunParameters& run = rs.run;
  if (args.size() > 2) run.secondArgument = args[2];
  // Every argument counts: monitors split what users type at blanks.
  run.parameterText = ParameterWords(args, rs.optionKeywords, rs.switches);
  run.parameterString = ToUpper(run.parameterText);
  rs.commandParameters = run.parameterText;
  ReadKeywords(run.parameterString, run.parameterText, kCommandLine, rs.switches);
  ReadKeywords(ToUpper(rs.optionKeywords), rs.optionKeywords, kCommandLine, rs.switches);
  CompleteProfileName(run, args[1], rs.switches.item);
}

Failure StartRun(RunState& rs, const std::vector<std::string>& args) {
  rs.startMilliseconds = MonotonicMilliseconds();
  rs.startTime = LocalTimeOfDay();
  rs.banner = BannerLine(rs.startTime);
  rs.key = BuildPasswordKey();
  rs.writer.channelCounter = 0;

  if (args.size() < 2) return NumberedFailure(1001, "Parameter for Profile-Name is missing !");
  ReadArguments(rs, args);

  Failure settingsProblem = ReadInstallationSettings(rs.switches, rs.programPath);
  ChooseForm(rs);  // a plugin's own settings error reads as one
  if (settingsProblem) return settingsProblem;
  OpenTraceLog(rs.trace, rs.switches.syslog);
  const bool searchSensorDirectories = !rs.writer.form->profileAsGiven && !rs.switches.profileAsGiven;
  return FindProfile(rs.run, searchSensorDirectories, rs.switches.driveRoot, rs.profileFile);
}

void ReadSensorKeywords(RunState& rs) {
  RunSwitches& switches = rs.switches;
  ForgetSensorKeywords(switches);
  ReadKeywords(rs.run.parameterString, rs.run.parameterText, kSensorLine, switches);
  // The words after the sensor's key, and the options, win over its line.
  const size_t blank = rs.commandParameters.find(' ');
  const std::string tail = blank == std::string::npos ? std::string() : rs.commandParameters.substr(blank + 1);
  ReadKeywords(ToUpper(tail), tail, kSensorLine, switches);
  ReadKeywords(ToUpper(rs.optionKeywords), rs.optionKeywords, kSensorLine, switches);
}

Failure SettleSwitches(RunState& rs) {
  if (Failure problem = KeywordProblem(rs.switches)) return problem;
  ApplyWriterSwitches(rs.switches, rs.writer);
  ChooseForm(rs);
  const int defaultBudget = rs.writer.form->defaultBudgetSeconds;
  if (!rs.switches.timeout && defaultBudget > 0) rs.switches.timeout = defaultBudget;
  rs.daysLeft = PlanDaysLeft(rs.switches, rs.run);
  return std::nullopt;
}

Failure BindLibrary(RunState& rs) {
  if (std::optional<std::string> problem = BindRfcBackend(rs.switches.rfcLibrary, rs.programPath, rs.rfc)) {
    return RunFailure{*problem};
  }
  return std::nullopt;
}

}  // namespace fennick
