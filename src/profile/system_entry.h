// The connection data of one SAP system, as read from its profile.
#pragma once

#include <string>

namespace fennick {

struct SystemEntry {
  std::string extcompany;
  std::string destination;
  std::string client;
  std::string user;      // upper-cased
  std::string password;  // unscrambled
  std::string language;
  std::string mode;
  std::string hostname;
  std::string sysnr;
  std::string gwhost;
  std::string gwservice;
};

}  // namespace fennick
