// Which configured system a logon reaches, and whether it may log on.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rfc/classic/rfc_api.h"
#include "sim_config.h"

namespace rfcsim {

struct LogonRequest {
  enum Route { None, Host, Gateway, MessageServer } route = None;
  std::string host;
  int32_t sysnr = 0;
  std::string gwhost;
  std::string gwserv;
  std::string mshost;
  std::string sysid;
  std::string client;
  std::string user;
  std::string password;
};

// From an RfcOpen record; a null record or address reaches nothing.
LogonRequest RequestFromOptions(const RfcLogonOptions* options);

struct ConnectPair {
  std::string id;
  std::string value;
};

// The connect string as the library reads it: ID=value pairs separated by
// blanks. A value in double quotes runs to the next double quote, any other
// value to the next blank; a word without "=" is ignored.
std::vector<ConnectPair> ParseConnectString(const std::string& connect);

// The value of an ID (any case) in the pairs; the last one given wins.
std::optional<std::string> ConnectValue(const std::vector<ConnectPair>& pairs, const char* id);

// From an RfcOpenEx connect string ("CLIENT=.. USER=.. PASSWD=.. LANG=..
// DEST=..") and the text of the parameter file, whose entry for DEST gives
// the route. User and password are upper-cased unless TOUPPER=0.
LogonRequest RequestFromConnectString(const std::string& connect, const std::string& sapRfcIni);

// The NetWeaver library's two routes. The system number comes as text; one
// that is not a whole number reaches nothing.
LogonRequest HostRequest(const std::string& host, const std::string& sysnr);
LogonRequest MessageServerRequest(const std::string& mshost, const std::string& sysid);

// Where each route leads: the first system in file order that it reaches.
// Built once per parsed landscape, so a logon costs no scan of all systems.
struct RouteIndex {
  std::map<std::string, size_t> byHost;           // lower-case ashost, sysnr
  std::map<std::string, size_t> byGateway;        // lower-case gwhost, gwserv
  std::map<std::string, size_t> byMessageServer;  // lower-case mshost, section name
};

RouteIndex BuildRouteIndex(const SimConfig& config);

// The first system in file order that the route reaches, or null.
const SystemConfig* FindSystem(const SimConfig& config, const RouteIndex& index, const LogonRequest& request);
const SystemConfig* FindSystem(const SimConfig& config, const LogonRequest& request);

// Client equal; user equal ignoring case and password equal, both without
// trailing blanks (RfcOpen pads them).
bool CredentialsMatch(const SystemConfig& system, const LogonRequest& request);

}  // namespace rfcsim
