#include "nw_logon.h"

#include "nw_text.h"
#include "sim_text.h"

namespace nwsim {

namespace {

const char kCommunicationFailure[] = "RFC_COMMUNICATION_FAILURE";
const char kLocalLocation[] = "LOCATION    CPIC (TCP/IP) on local host\n";

Failure Communication(const std::string& error) {
  return MakeFailure(NW_COMMUNICATION_FAILURE, NW_GROUP_COMMUNICATION, kCommunicationFailure,
                     kLocalLocation + ("ERROR       " + error));
}

}  // namespace

LogonParameters ReadParameters(const NwConnectionParameter* parameters, unsigned count) {
  LogonParameters read;
  if (!parameters) return read;
  struct Known {
    const char* name;
    std::string LogonParameters::*value;
  };
  static const Known kKnown[] = {
      {"ASHOST", &LogonParameters::ashost},       {"SYSNR", &LogonParameters::sysnr},
      {"CLIENT", &LogonParameters::client},       {"USER", &LogonParameters::user},
      {"PASSWD", &LogonParameters::passwd},       {"LANG", &LogonParameters::lang},
      {"MSHOST", &LogonParameters::mshost},       {"MSSERV", &LogonParameters::msserv},
      {"SYSID", &LogonParameters::sysid},         {"GROUP", &LogonParameters::group},
      {"SAPROUTER", &LogonParameters::saprouter}, {"TRACE", &LogonParameters::trace},
  };
  for (unsigned i = 0; i < count; ++i) {
    if (!parameters[i].name) continue;
    std::string name = BytesOf(parameters[i].name);
    for (const Known& known : kKnown) {
      if (rfcsim::EqualsIgnoreCase(name, known.name)) read.*known.value = BytesOf(parameters[i].value);
    }
  }
  return read;
}

bool HasRoute(const LogonParameters& parameters) { return !parameters.ashost.empty() || !parameters.mshost.empty(); }

rfcsim::LogonRequest RequestOf(const LogonParameters& parameters) {
  rfcsim::LogonRequest request = parameters.ashost.empty()
                                     ? rfcsim::MessageServerRequest(parameters.mshost, parameters.sysid)
                                     : rfcsim::HostRequest(parameters.ashost, parameters.sysnr);
  request.client = parameters.client;
  request.user = parameters.user;
  request.password = parameters.passwd;
  return request;
}

std::string Partner(const LogonParameters& parameters) {
  if (!parameters.ashost.empty()) return parameters.ashost + ":33" + parameters.sysnr;
  // A message server's service is sapms and the system ID unless given.
  std::string service = parameters.msserv.empty() ? "sapms" + parameters.sysid : parameters.msserv;
  return parameters.mshost + ":" + service;
}

Failure NoRoute() { return InvalidParameter("Parameter ASHOST or MSHOST is missing"); }

Failure NotReached(const std::string& partner) { return Communication("partner '" + partner + "' not reached"); }

Failure BadLandscape(const std::string& configError) { return Communication(configError); }

bool SignOnAccepted(const rfcsim::SystemConfig& system, const rfcsim::LogonRequest& request) {
  return rfcsim::CredentialsMatch(system, request) && !rfcsim::FindFault(system, rfcsim::FaultKind::Logon, "");
}

Failure LogonRefused(const rfcsim::SystemConfig& system) {
  std::string message = system.lastError ? system.lastError->message : "Name or password is incorrect (repeat logon)";
  return MakeFailure(NW_LOGON_FAILURE, NW_GROUP_LOGON, "RFC_LOGON_FAILURE", message);
}

}  // namespace nwsim
