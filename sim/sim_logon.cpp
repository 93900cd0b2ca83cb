#include "sim_logon.h"

#include <vector>

#include "sim_text.h"

namespace rfcsim {

namespace {

struct Destination {
  std::string name;
  std::string type;
  std::string ashost;
  std::string sysnr;
  std::string gwhost;
  std::string gwserv;
};

bool SplitKeyValue(const std::string& text, std::string& key, std::string& value) {
  size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  key = Trim(text.substr(0, equals));
  value = Trim(text.substr(equals + 1));
  return true;
}

std::vector<Destination> ReadDestinations(const std::string& sapRfcIni) {
  std::vector<Destination> destinations;
  for (const std::string& line : SplitLines(sapRfcIni)) {
    std::string key;
    std::string value;
    if (!SplitKeyValue(Trim(line), key, value)) continue;
    if (EqualsIgnoreCase(key, "DEST")) {
      destinations.emplace_back();
      destinations.back().name = value;
      continue;
    }
    if (destinations.empty()) continue;
    Destination& entry = destinations.back();
    if (EqualsIgnoreCase(key, "TYPE")) entry.type = value;
    if (EqualsIgnoreCase(key, "ASHOST")) entry.ashost = value;
    if (EqualsIgnoreCase(key, "SYSNR")) entry.sysnr = value;
    if (EqualsIgnoreCase(key, "GWHOST")) entry.gwhost = value;
    if (EqualsIgnoreCase(key, "GWSERV")) entry.gwserv = value;
  }
  return destinations;
}

void RouteFromDestination(const Destination& entry, LogonRequest& request) {
  if (EqualsIgnoreCase(entry.type, "A")) {
    if (entry.ashost.empty() || !ParseInt32(entry.sysnr, request.sysnr)) return;
    request.route = LogonRequest::Host;
    request.host = entry.ashost;
  } else if (EqualsIgnoreCase(entry.type, "R")) {
    if (entry.gwhost.empty()) return;
    request.route = LogonRequest::Gateway;
    request.gwhost = entry.gwhost;
    request.gwserv = entry.gwserv;
  }
}

}  // namespace

LogonRequest RequestFromOptions(const RfcLogonOptions* options) {
  LogonRequest request;
  if (!options) return request;
  request.client = FromC(options->client);
  request.user = FromC(options->user);
  request.password = FromC(options->password);
  if (!options->connopt) return request;
  if (options->mode == RFC_LOGON_HOST) {
    const RfcHostOptions* host = static_cast<const RfcHostOptions*>(options->connopt);
    if (!host->hostname) return request;
    request.route = LogonRequest::Host;
    request.host = host->hostname;
    request.sysnr = host->sysnr;
  } else if (options->mode == RFC_LOGON_GATEWAY) {
    const RfcGatewayOptions* gateway = static_cast<const RfcGatewayOptions*>(options->connopt);
    if (!gateway->gateway_host || !gateway->gateway_service) return request;
    request.route = LogonRequest::Gateway;
    request.gwhost = gateway->gateway_host;
    request.gwserv = gateway->gateway_service;
  }
  return request;
}

std::vector<ConnectPair> ParseConnectString(const std::string& connect) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  std::vector<ConnectPair> pairs;
  const size_t n = connect.size();
  size_t i = 0;
  while (i < n) {
    while (i < n && isBlank(connect[i])) ++i;
    size_t start = i;
    while (i < n && connect[i] != '=' && !isBlank(connect[i])) ++i;
    if (i >= n || connect[i] != '=') continue;  // a word without "="
    ConnectPair pair;
    pair.id = connect.substr(start, i - start);
    ++i;
    if (i < n && connect[i] == '"') {
      size_t close = connect.find('"', i + 1);
      size_t end = close == std::string::npos ? n : close;
      pair.value = connect.substr(i + 1, end - i - 1);
      i = close == std::string::npos ? n : close + 1;
    } else {
      size_t end = i;
      while (end < n && !isBlank(connect[end])) ++end;
      pair.value = connect.substr(i, end - i);
      i = end;
    }
    pairs.push_back(pair);
  }
  return pairs;
}

std::optional<std::string> ConnectValue(const std::vector<ConnectPair>& pairs, const char* id) {
  std::optional<std::string> value;
  for (const ConnectPair& pair : pairs) {
    if (EqualsIgnoreCase(pair.id, id)) value = pair.value;
  }
  return value;
}

LogonRequest RequestFromConnectString(const std::string& connect, const std::string& sapRfcIni) {
  std::vector<ConnectPair> pairs = ParseConnectString(connect);
  LogonRequest request;
  request.client = ConnectValue(pairs, "CLIENT").value_or("");
  request.user = ConnectValue(pairs, "USER").value_or("");
  request.password = ConnectValue(pairs, "PASSWD").value_or("");
  // The library sends user and password upper-cased unless told otherwise.
  if (ConnectValue(pairs, "TOUPPER").value_or("1") != "0") {
    request.user = Upper(request.user);
    request.password = Upper(request.password);
  }
  std::optional<std::string> destination = ConnectValue(pairs, "DEST");
  if (!destination) return request;
  for (const Destination& entry : ReadDestinations(sapRfcIni)) {
    if (EqualsIgnoreCase(entry.name, *destination)) {
      RouteFromDestination(entry, request);
      break;
    }
  }
  return request;
}

LogonRequest HostRequest(const std::string& host, const std::string& sysnr) {
  LogonRequest request;
  if (host.empty() || !ParseInt32(sysnr, request.sysnr)) return request;
  request.route = LogonRequest::Host;
  request.host = host;
  return request;
}

LogonRequest MessageServerRequest(const std::string& mshost, const std::string& sysid) {
  LogonRequest request;
  if (mshost.empty()) return request;
  request.route = LogonRequest::MessageServer;
  request.mshost = mshost;
  request.sysid = sysid;
  return request;
}

namespace {

std::string HostKey(const std::string& host, int32_t sysnr) { return Lower(host) + '\n' + std::to_string(sysnr); }
std::string GatewayKey(const std::string& host, const std::string& service) { return Lower(host) + '\n' + service; }
std::string MessageServerKey(const std::string& host, const std::string& sid) {
  return Lower(host) + '\n' + Lower(sid);
}

}  // namespace

RouteIndex BuildRouteIndex(const SimConfig& config) {
  RouteIndex index;
  for (size_t i = 0; i < config.systems.size(); ++i) {
    const SystemConfig& system = config.systems[i];
    // emplace keeps the first system of a route, as a scan in file order would.
    if (!system.ashost.empty() && system.sysnr) index.byHost.emplace(HostKey(system.ashost, *system.sysnr), i);
    if (!system.gwhost.empty()) index.byGateway.emplace(GatewayKey(system.gwhost, system.gwserv), i);
    if (!system.mshost.empty()) index.byMessageServer.emplace(MessageServerKey(system.mshost, system.sid), i);
  }
  return index;
}

const SystemConfig* FindSystem(const SimConfig& config, const RouteIndex& index, const LogonRequest& request) {
  const std::map<std::string, size_t>* routes = nullptr;
  std::string key;
  if (request.route == LogonRequest::Host && !request.host.empty()) {
    routes = &index.byHost;
    key = HostKey(request.host, request.sysnr);
  } else if (request.route == LogonRequest::Gateway && !request.gwhost.empty()) {
    routes = &index.byGateway;
    key = GatewayKey(request.gwhost, request.gwserv);
  } else if (request.route == LogonRequest::MessageServer && !request.mshost.empty()) {
    routes = &index.byMessageServer;
    key = MessageServerKey(request.mshost, request.sysid);
  }
  if (!routes) return nullptr;
  auto found = routes->find(key);
  return found == routes->end() ? nullptr : &config.systems[found->second];
}

const SystemConfig* FindSystem(const SimConfig& config, const LogonRequest& request) {
  return FindSystem(config, BuildRouteIndex(config), request);
}

bool CredentialsMatch(const SystemConfig& system, const LogonRequest& request) {
  return system.client == request.client && EqualsIgnoreCase(TrimRight(system.user), TrimRight(request.user)) &&
         TrimRight(system.passwd) == TrimRight(request.password);
}

}  // namespace rfcsim
