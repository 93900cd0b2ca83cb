// The two ends that come from outside the run's own road: the time
// budget's timer, and the classic library's fatal error handler, which the
// library calls from inside any call. Both find the run that is going on
// here and end the process from its state, holding the run's lock.
#pragma once

#include <cstdint>

namespace fennick {

struct GroupRun;
struct SingleRun;

// The run the ends act on; set before the budget is armed or the library
// is called.
void WatchSingleRun(SingleRun* run);
void WatchGroupRun(GroupRun* run);

// Starts the timer: a budget of `seconds` from `startMilliseconds` on the
// monotonic clock (the start of the process).
void ArmTimeBudget(int seconds, int64_t startMilliseconds);

// Sends the library's fatal reports to the watched run.
void RouteHandlerReports();

}  // namespace fennick
