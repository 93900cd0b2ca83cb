#include "driver/group_plan.h"

namespace fennick {

GroupPlan::GroupPlan(const std::vector<std::string>& profileNames) : entries_(profileNames.size()) {
  MutexLock lock(mutex_);
  for (const std::string& name : profileNames) {
    systems_.push_back(std::make_unique<SystemOutcome>());
    systems_.back()->profileName = name;
    systems_.back()->listIndex = systems_.size() - 1;
  }
  onMainRoad_ = systems_.size();
}

size_t GroupPlan::IndexOf(const SystemOutcome& system) const { return system.listIndex; }

void GroupPlan::ChangedLocked() {
  ++version_;
  mutex_.WakeAll();
}

void GroupPlan::Read(size_t index, bool profileMissing) {
  MutexLock lock(mutex_);
  Entry& entry = entries_[index];
  entry.profileMissing = profileMissing;
  entry.stage = profileMissing ? SystemStage::Measured : SystemStage::Waiting;
  entry.closed = profileMissing;
  ChangedLocked();
}

void GroupPlan::AllRead() {
  MutexLock lock(mutex_);
  allRead_ = true;
  ChangedLocked();
}

void GroupPlan::WorkerStarting() {
  MutexLock lock(mutex_);
  ++busyWorkers_;
}

void GroupPlan::WorkerStopped() {
  MutexLock lock(mutex_);
  --busyWorkers_;
  ChangedLocked();
}

int GroupPlan::BusyWorkers() const {
  MutexLock lock(mutex_);
  return busyWorkers_;
}

SystemOutcome* GroupPlan::TakeNextLocked() {
  while (nextToTake_ < entries_.size() && entries_[nextToTake_].stage != SystemStage::Listed) {
    const size_t index = nextToTake_++;
    if (entries_[index].stage != SystemStage::Waiting) continue;  // a profile that is not there
    entries_[index].stage = SystemStage::Measuring;
    return systems_[index].get();
  }
  return nullptr;
}

SystemOutcome* GroupPlan::Take() {
  MutexLock lock(mutex_);
  for (;;) {
    if (SystemOutcome* system = TakeNextLocked()) return system;
    if (allRead_ || nextToTake_ == entries_.size()) break;
    mutex_.Wait();  // the main road is still reading profiles
  }
  --busyWorkers_;
  ChangedLocked();
  return nullptr;
}

SystemOutcome* GroupPlan::TakeOnMainRoad() {
  MutexLock lock(mutex_);
  SystemOutcome* system = nullptr;
  if (!handedBack_.empty()) {
    const size_t index = handedBack_.front();
    handedBack_.pop_front();
    entries_[index].stage = SystemStage::Measuring;
    system = systems_[index].get();
  } else if (busyWorkers_ == 0) {
    system = TakeNextLocked();
  }
  if (system) onMainRoad_ = IndexOf(*system);
  return system;
}

void GroupPlan::OffMainRoad() {
  MutexLock lock(mutex_);
  onMainRoad_ = entries_.size();
}

SystemOutcome* GroupPlan::OnMainRoad(bool& measuring) const {
  MutexLock lock(mutex_);
  measuring = false;
  if (onMainRoad_ == entries_.size()) return nullptr;
  measuring = entries_[onMainRoad_].stage == SystemStage::Measuring;
  return systems_[onMainRoad_].get();
}

void GroupPlan::Measured(SystemOutcome& system) {
  MutexLock lock(mutex_);
  Entry& entry = entries_[IndexOf(system)];
  if (entry.stage == SystemStage::Measuring) entry.stage = SystemStage::Measured;
  ChangedLocked();
}

void GroupPlan::Closed(SystemOutcome& system) {
  MutexLock lock(mutex_);
  entries_[IndexOf(system)].closed = true;
  ChangedLocked();
}

void GroupPlan::HandBack(SystemOutcome& system) {
  MutexLock lock(mutex_);
  const size_t index = IndexOf(system);
  entries_[index].stage = SystemStage::Waiting;
  handedBack_.push_back(index);
  --busyWorkers_;
  ChangedLocked();
}

bool GroupPlan::Release(GroupReleaser& releaser, bool cutOff) {
  MutexLock lock(mutex_);
  for (; nextToRelease_ < entries_.size(); ++nextToRelease_) {
    Entry& entry = entries_[nextToRelease_];
    SystemOutcome& system = *systems_[nextToRelease_];
    if (entry.stage == SystemStage::Measured) {
      entry.stage = SystemStage::Released;
      if (!releaser.Release(system, entry.profileMissing)) return false;
    }
    if (entry.stage == SystemStage::Released) {
      if (entry.closed) {
        entry.stage = SystemStage::Done;
        releaser.Complete(system);
        continue;
      }
      if (cutOff) continue;  // a close still going on is not waited for
      return true;
    }
    if (entry.stage == SystemStage::Done) continue;
    if (!cutOff) return true;
    releaser.CutOff(system, entry.stage != SystemStage::Listed, onMainRoad_ == nextToRelease_);
    entry.stage = SystemStage::Done;
  }
  return true;
}

bool GroupPlan::AllDone() const {
  MutexLock lock(mutex_);
  return nextToRelease_ == entries_.size();
}

uint64_t GroupPlan::Version() const {
  MutexLock lock(mutex_);
  return version_;
}

void GroupPlan::WaitForChange(uint64_t seen) {
  MutexLock lock(mutex_);
  while (version_ == seen) mutex_.Wait();
}

}  // namespace fennick
