#include "driver/run_steps.h"

#include "driver/limit_keywords.h"
#include "output/print.h"
#include "profile/text_util.h"
#include "rfc/backends.h"

namespace fennick {

Failure ReadRunKeywords(RunState& rs) {
  if (Failure failure = ReadLimitKeywords(rs.run, rs.writer.limits, rs.budgetSeconds)) return failure;
  if (Failure failure = ReadParallelKeyword(rs.run, rs.parallel)) return failure;
  ReadWriterOptions(rs.writer, rs.run.parameterString, rs.run.parameterText);
  ApplyOutputKeywords(rs);
  return std::nullopt;
}

void ApplyOutputKeywords(RunState& rs) {
  if (Contains(rs.run.parameterString, ",NAGIOS")) rs.writer.outputMode = "Nagios";
  SetConsoleOnStandardError(ConsoleOnStandardError(rs.writer));
}

Failure BindLibrary(RunState& rs) {
  if (std::optional<std::string> problem = BindRfcBackend(rs.rfcLibrary, rs.programPath, rs.rfc)) {
    return RunFailure{*problem};
  }
  return std::nullopt;
}

LogonRequest LogonFor(const RunState& rs, const SystemEntry& entry) {
  LogonRequest request;
  request.entry = entry;
  ReadLogonOverrides(request, rs.run.parameterString, rs.run.parameterText);
  request.consoleReport = rs.consoleReport;
  return request;
}

}  // namespace fennick
