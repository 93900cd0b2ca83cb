// RFC_SYSTEM_INFO: the system's identity, above all its database system.
#pragma once

#include <string>

#include "rfc/backend.h"
#include "rfc/classic/rfc_api.h"
#include "rfc/classic/structures.h"

namespace fennick {

struct ClassicState;

struct SystemInfoReply {
  int currentResources = 0;
  char dialogUserType = 0;
  int maximalResources = 0;
  int recommendedDelay = 0;
  unsigned char systemRecord[kRfcsiSize] = {};
  char loginComplete = 0;
  std::string exception;
};

// The remote call itself; returns its result code.
int CallSystemInfo(ClassicState& state, RFC_HANDLE handle, RfcWork& work, SystemInfoReply& reply);

// The database system on success; the result code and exception name.
StepResult ReadSystemInfo(ClassicState& state, RFC_HANDLE handle, RfcWork& work, std::string& databaseSystem);

}  // namespace fennick
