// Which configured system a logon reaches, and whether it may log on.
#pragma once

#include <cstdint>
#include <string>

#include "rfc/rfc_api.h"
#include "sim_config.h"

namespace rfcsim {

struct LogonRequest {
  enum Route { None, Host, Gateway } route = None;
  std::string host;
  int32_t sysnr = 0;
  std::string gwhost;
  std::string gwserv;
  std::string client;
  std::string user;
  std::string password;
};

// From an RfcOpen record; a null record or address reaches nothing.
LogonRequest RequestFromOptions(const RfcLogonOptions* options);

// From an RfcOpenEx connect string ("CLIENT=.. USER=.. PASSWD=.. LANG=..
// DEST=..") and the text of SapRfc.ini, whose entry for DEST gives the route.
LogonRequest RequestFromConnectString(const std::string& connect, const std::string& sapRfcIni);

// The first system in file order that the route reaches, or null.
const SystemConfig* FindSystem(const SimConfig& config, const LogonRequest& request);

// Client equal; user equal ignoring case and password equal, both without
// trailing blanks (RfcOpen pads them).
bool CredentialsMatch(const SystemConfig& system, const LogonRequest& request);

}  // namespace rfcsim
