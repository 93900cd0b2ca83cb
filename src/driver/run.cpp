#include "driver/run.h"

#include "driver/group_run.h"
#include "driver/help.h"
#include "driver/run_state.h"
#include "driver/single_run.h"
#include "driver/start_up.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "platform/standard_output.h"

namespace fennick {

int EndWithError(RunState& rs, const std::string& message) {
  StandardOutputLock lock;
  WriteErrorDocument(rs.writer, message);
  PrintMessageBufferLocked(rs.writer);
  const int exitCode = ExitCodeFor(rs.writer, 2);
  MarkFinishedLocked(exitCode);
  return exitCode;
}

int RunFennick(const std::vector<std::string>& args) {
  if (AsksForHelp(args)) return PrintHelp();
  RunState rs;
  if (Failure failure = StartRun(rs, args)) return EndWithError(rs, failure->message);
  return rs.run.itemMode ? RunItems(rs) : RunSingleProfile(rs);
}

}  // namespace fennick
