// RfcOpenConnection's parameters, where they lead in the landscape, and the
// failures of a logon.
#pragma once

#include <string>

#include "nw_error_info.h"
#include "rfc/netweaver/nwrfc_api.h"
#include "sim_config.h"
#include "sim_logon.h"

namespace nwsim {

// The parameters the library knows, as text; the others are ignored.
struct LogonParameters {
  std::string ashost, sysnr, client, user, passwd, lang;
  std::string mshost, msserv, sysid, group, saprouter, trace;
};

// Names in any case; an entry without a name is passed over, one without a
// value is empty, and of two with one name the last counts.
LogonParameters ReadParameters(const NwConnectionParameter* parameters, unsigned count);

// By application server when ASHOST is given, else by message server.
bool HasRoute(const LogonParameters& parameters);
rfcsim::LogonRequest RequestOf(const LogonParameters& parameters);

// "HOST:33NN" or "MSHOST:sapmsSYSID", as given.
std::string Partner(const LogonParameters& parameters);

Failure NoRoute();
Failure NotReached(const std::string& partner);
Failure BadLandscape(const std::string& configError);

// Client equal, user equal ignoring case, password equal; trailing blanks
// do not count and nothing is upper-cased.
bool SignOnAccepted(const rfcsim::SystemConfig& system, const rfcsim::LogonRequest& request);
Failure LogonRefused(const rfcsim::SystemConfig& system);

}  // namespace nwsim
