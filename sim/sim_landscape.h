// The landscape of sapsim.ini as both stand-ins see it, and where a logon
// request leads in it.
#pragma once

#include <optional>
#include <string>

#include "sim_config.h"
#include "sim_logon.h"

namespace rfcsim {

// What a logon's route reaches: a system, or the reason there is none.
struct Reach {
  std::optional<SystemConfig> system;  // a copy: the landscape may change under a later logon
  std::string failure;                 // "partner not reached" or the file's fault
  bool badFile = false;                // the failure is the file's fault
};

// sapsim.ini in the working directory is looked at afresh at every logon,
// so a test can change the landscape between two logons of one process.
// Logons may come from several threads at once.
Reach ReachSystem(const LogonRequest& request);

}  // namespace rfcsim
