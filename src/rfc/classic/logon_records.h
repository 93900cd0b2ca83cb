// The logon data handed to the library. The records live for the whole run
// and are rebuilt for every logon; the texts they point at live here too.
#pragma once

#include <string>

#include "rfc/classic/rfc_api.h"

namespace fennick {

struct LogonRecords {
  std::string destination;
  std::string client;
  std::string user;
  std::string password;
  std::string language;
  std::string mode;
  std::string hostname;
  std::string sysnr;
  std::string gwhost;
  std::string gwservice;
  std::string paddedUser;      // RfcOpen wants the user in 12 columns
  std::string paddedPassword;  // and the password in 10
  std::string connectString;

  RfcLogonOptions options{};
  RfcGatewayOptions gateway{};
  RfcHostOptions host{};  // sysnr survives a logon whose profile gives none
  RfcErrorInfoEx errorEx{};
};

}  // namespace fennick
