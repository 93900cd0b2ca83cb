#include "driver/run.h"

#include "driver/help.h"
#include "driver/run_state.h"
#include "driver/start_up.h"
#include "driver/system_runs.h"
#include "driver/time_budget.h"
#include "output/print.h"
#include "output/result_writer.h"

namespace fennick {

int EndWithError(RunState& rs, const std::string& message) {
  WriteErrorDocument(rs.writer, message);
  PrintMessageBuffer(rs.writer);
  return 2;
}

int RunFennick(const std::vector<std::string>& args) {
  if (AsksForHelp(args)) return PrintHelp();
  RunState rs;
  if (Failure failure = StartRun(rs, args)) return EndWithError(rs, failure->message);
  int exitCode = rs.run.itemMode ? RunItems(rs) : RunSingleProfile(rs);
  DisarmTimeBudget();
  return exitCode;
}

}  // namespace fennick
