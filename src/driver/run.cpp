#include "driver/run.h"

#include "driver/run_state.h"
#include "driver/start_up.h"
#include "output/print.h"
#include "output/result_writer.h"
#include "profile/connection_entry.h"

namespace fennick {

int EndWithError(RunState& rs, const std::string& message) {
  WriteErrorDocument(rs, message);
  PrintMessageBuffer(rs);
  return 2;
}

int RunFennick(const std::vector<std::string>& args) {
  RunState rs;
  if (Failure failure = StartRun(rs, args)) return EndWithError(rs, failure->message);
  if (rs.itemMode) return 0;
  if (Failure failure = ReadSingleProfileEntry(rs)) return EndWithError(rs, failure->message);
  return 0;
}

}  // namespace fennick
