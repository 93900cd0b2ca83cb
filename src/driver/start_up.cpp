#include "driver/start_up.h"

#include "driver/run_steps.h"
#include "driver/settings.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"

namespace fennick {

const char kProgramName[] = "Fennick";
const char kVersion[] = "Vers 4.3 / 29.08.22";

void ReadArguments(RunState& rs, const std::vector<std::string>& args) {
  rs.programPath = OwnExecutablePath(args[0].c_str());
  RunParameters& run = rs.run;
  if (args.size() > 2) run.secondArgument = args[2];
  run.parameterText = run.secondArgument;
  if (args.size() > 3) run.parameterText += " " + args[3];
  run.parameterString = ToUpper(run.parameterText);

  CompleteProfileName(run, args[1]);
  rs.writer.outputMode = "EXEXML";
  rs.consoleReport = run.parameterString.find_first_of("#@$%") != std::string::npos;
}

Failure StartRun(RunState& rs, const std::vector<std::string>& args) {
  rs.startMilliseconds = MonotonicMilliseconds();
  rs.startTime = LocalTimeOfDay();
  rs.banner = "* " + rs.startTime + " SAP " + kProgramName + " " + kVersion;
  rs.key = BuildPasswordKey();
  rs.writer.channelCounter = 0;

  if (args.size() < 2) return RunFailure{"Error 1001: Parameter for Profile-Name is missing !"};
  ReadArguments(rs, args);

  Failure settingsProblem = ReadInstallationSettings(rs);
  ApplyOutputKeywords(rs);  // a plugin's own settings error reads as one
  if (settingsProblem) return settingsProblem;
  OpenTraceLog(rs.trace, Contains(rs.run.parameterString, ",SYSLOG"));
  return FindProfile(rs.run, rs.writer.outputMode, rs.driveRoot, rs.profileFile);
}

}  // namespace fennick
