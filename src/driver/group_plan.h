// A group run's plan: where each listed system stands, and the one place
// that moves it on. Systems are read in listing order, taken by workers (or
// the main road), measured, closed and released into the output in listing
// order, whatever order they finish in. The plan owns the stages under its
// own lock; what a system's release writes is the releaser's (group_release).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "driver/measure.h"
#include "platform/mutex.h"
#include "platform/run_lock.h"

namespace fennick {

// Where a listed system stands.
enum class SystemStage {
  Listed,     // its profile is not read yet
  Waiting,    // read, for a worker to take
  Measuring,  // taken
  Measured,   // its outcome is known
  Released,   // in the output; its close may still be going on
  Done,       // released, and what its close brought is out too
};

// Writes what the plan releases, system by system in listing order. It is
// called with the run's lock and the plan's held, and never calls the plan.
class GroupReleaser {
 public:
  virtual ~GroupReleaser() = default;
  // A system whose outcome is known and whose turn has come; false when it
  // ends the run (Error 1018, or the library's handler).
  virtual bool Release(SystemOutcome& system, bool profileMissing) REQUIRES(theRunLock) = 0;
  // A released system whose close is in: what the close brought.
  virtual void Complete(SystemOutcome& system) REQUIRES(theRunLock) = 0;
  // A system the time budget cut off: not read yet (its profile not
  // looked up), or read but not measured; `onMainRoad` when this process
  // was measuring it.
  virtual void CutOff(SystemOutcome& system, bool read, bool onMainRoad) REQUIRES(theRunLock) = 0;
};

class GroupPlan {
 public:
  explicit GroupPlan(const std::vector<std::string>& profileNames);

  size_t Size() const { return systems_.size(); }

  // A system's outcome. Its stage says who may touch it: the main road
  // while it is listed, whoever took it while it is measuring, the release
  // once it is measured.
  SystemOutcome& System(size_t index) const { return *systems_[index]; }

  // The main road has read the system's profile; a profile that is not
  // there has nothing to measure and is measured and closed at once.
  void Read(size_t index, bool profileMissing) EXCLUDES(mutex_);
  void AllRead() EXCLUDES(mutex_);

  // A worker counts as busy from its start until it finds nothing to take
  // or hands its system back.
  void WorkerStarting() EXCLUDES(mutex_);
  void WorkerStopped() EXCLUDES(mutex_);
  int BusyWorkers() const EXCLUDES(mutex_);

  // The next waiting system in listing order, now measuring; waits while
  // profiles are still being read. Null when none is left: the worker has
  // stopped then.
  SystemOutcome* Take() EXCLUDES(mutex_);

  // What the main road measures itself: a system no child could measure,
  // else, once no worker is busy, the next waiting one; null for none now.
  // It is the main road's until OffMainRoad.
  SystemOutcome* TakeOnMainRoad() EXCLUDES(mutex_);
  void OffMainRoad() EXCLUDES(mutex_);
  // The system the main road works on, and whether it is still measuring
  // (the library's handler may fire in its calls).
  SystemOutcome* OnMainRoad(bool& measuring) const EXCLUDES(mutex_);

  // The system's outcome is known; its close is done and what the close
  // brought is in its outcome.
  void Measured(SystemOutcome& system) EXCLUDES(mutex_);
  void Closed(SystemOutcome& system) EXCLUDES(mutex_);

  // No child could measure a taken system: it waits for the main road, and
  // the worker that took it stops.
  void HandBack(SystemOutcome& system) EXCLUDES(mutex_);

  // Releases every system whose turn has come: once its outcome is known
  // and every system before it is done; a system is done once its close is
  // in too, so the output keeps listing order. With `cutOff` (the budget
  // ran out) nothing is waited for: what is not measured is cut off, a
  // close still going on is left. False when a release ended the run.
  bool Release(GroupReleaser& releaser, bool cutOff) REQUIRES(theRunLock) EXCLUDES(mutex_);
  bool AllDone() const EXCLUDES(mutex_);

  // A count that grows with every change a waiting main road cares about,
  // and the wait for it to grow past `seen`.
  uint64_t Version() const EXCLUDES(mutex_);
  void WaitForChange(uint64_t seen) EXCLUDES(mutex_);

 private:
  struct Entry {
    SystemStage stage = SystemStage::Listed;
    bool closed = false;          // its close is done, and what it brought is in
    bool profileMissing = false;  // the listed profile does not exist
  };

  size_t IndexOf(const SystemOutcome& system) const;
  SystemOutcome* TakeNextLocked() REQUIRES(mutex_);
  void ChangedLocked() REQUIRES(mutex_);

  mutable Mutex mutex_;
  std::vector<std::unique_ptr<SystemOutcome>> systems_;  // in listing order
  std::vector<Entry> entries_ GUARDED_BY(mutex_);
  bool allRead_ GUARDED_BY(mutex_) = false;
  size_t nextToTake_ GUARDED_BY(mutex_) = 0;
  size_t nextToRelease_ GUARDED_BY(mutex_) = 0;  // the first system not done
  int busyWorkers_ GUARDED_BY(mutex_) = 0;
  std::deque<size_t> handedBack_ GUARDED_BY(mutex_);
  size_t onMainRoad_ GUARDED_BY(mutex_);  // Size() for none
  uint64_t version_ GUARDED_BY(mutex_) = 0;
};

}  // namespace fennick
