#include "driver/start_up.h"

#include "driver/settings.h"
#include "driver/trace_lines.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"

namespace fennick {

const char kProgramName[] = "Fennick";

namespace {

const char kVersion[] = "Vers 4.3 / 29.08.22";

}  // namespace

void ReadArguments(RunState& rs, const std::vector<std::string>& args) {
  rs.programPath = OwnExecutablePath(args[0].c_str());
  if (args.size() > 2) rs.secondArgument = args[2];
  rs.parameterText = rs.secondArgument;
  if (args.size() > 3) rs.parameterText += " " + args[3];
  rs.parameterString = ToUpper(rs.parameterText);

  CompleteProfileName(rs, args[1]);
  rs.outputMode = "EXEXML";
  rs.consoleReport = rs.parameterString.find_first_of("#@$%") != std::string::npos;
}

Failure StartRun(RunState& rs, const std::vector<std::string>& args) {
  rs.startTime = LocalTimeOfDay();
  rs.banner = "* " + rs.startTime + " SAP " + kProgramName + " " + kVersion;
  rs.key = BuildPasswordKey();
  rs.channelCounter = 0;
  rs.noSystems = rs.processed = rs.failed = 0;

  if (args.size() < 2) return RunFailure{"Error 1001: Parameter for Profile-Name is missing !"};
  ReadArguments(rs, args);

  if (Failure failure = ReadInstallationSettings(rs)) return failure;
  OpenTraceLog(rs);
  return FindProfile(rs);
}

}  // namespace fennick
