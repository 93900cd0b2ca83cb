// RFC_SYSTEM_INFO: the system's identity, above all its database system.
#pragma once

#include <string>

#include "rfc/rfc_api.h"
#include "rfc/structures.h"

namespace fennick {

struct RunState;

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
int CallSystemInfo(RunState& rs, RFC_HANDLE handle, SystemInfoReply& reply);

// Sets ResultCode "OK" and DatabaseSystem on success, or appends the
// failure message; returns the result code.
int ReadSystemInfo(RunState& rs, RFC_HANDLE handle);

}  // namespace fennick
