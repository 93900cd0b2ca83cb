// The landscape of sapsim.ini as both stand-ins see it, and where a logon
// request leads in it.
#pragma once

#include <string>

#include "sim_config.h"
#include "sim_logon.h"

namespace rfcsim {

// What a logon's route reaches: a system, or the reason there is none.
struct Reach {
  const SystemConfig* system = nullptr;  // valid until the next lookup
  std::string failure;                   // "partner not reached" or the file's fault
  bool badFile = false;                  // the failure is the file's fault
};

// sapsim.ini in the working directory is looked at afresh at every logon,
// so a test can change the landscape between two logons of one process.
Reach ReachSystem(const LogonRequest& request);

}  // namespace rfcsim
