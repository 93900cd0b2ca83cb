#include "driver/run.h"

#include "driver/group_run.h"
#include "driver/help.h"
#include "driver/run_end.h"
#include "driver/run_state.h"
#include "driver/single_run.h"
#include "driver/start_up.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "platform/run_lock.h"

namespace fennick {

int EndWithError(RunState& rs, const RunFailure& failure) {
  RunLock lock;
  WriteErrorDocument(rs.writer, failure);
  PrintMessageBufferLocked(rs.writer);
  const int exitCode = ExitCodeFor(rs.writer, kExitError);
  MarkFinishedLocked(exitCode);
  return exitCode;
}

int RunFennick(const std::vector<std::string>& args) {
  if (AsksForHelp(args)) return PrintHelp();
  if (AsksForVersion(args)) return PrintVersion();
  RunState rs;
  int exitCode = 0;
  if (Failure failure = StartRun(rs, args)) {
    exitCode = EndWithError(rs, *failure);
  } else {
    exitCode = rs.run.itemMode ? RunItems(rs) : RunSingleProfile(rs);
  }
  // The run's end may differ: a result file that took nothing.
  RunLock lock;
  int finishedWith = exitCode;
  return RunFinishedLocked(finishedWith) ? finishedWith : exitCode;
}

}  // namespace fennick
