// The logon parameters for the NetWeaver library: from the connection entry
// with its overrides, or from the destination's parameter file, which the
// program reads itself.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "rfc/backend.h"

namespace fennick {

struct NwLogonParameters {
  std::vector<std::pair<std::string, std::string>> values;  // name, value
  std::string refusal;                                      // a logon this library cannot make, and why
};

// An entry of a parameter file: TYPE, ASHOST, SYSNR, ... by upper-case key.
struct NwDestination {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  std::string Value(const std::string& key) const;
};

// The entries of a parameter file: "DEST=NAME" starts one, "KEY=value" lines
// follow; keys in any case, blanks around both trimmed.
std::vector<NwDestination> ReadParameterFile(std::FILE* file);

// The parameters for a logon through the entry: ASHOST, SYSNR (the text as
// written), CLIENT, USER, PASSWD and LANG. Mode "R/2" is refused.
NwLogonParameters EntryParameters(const LogonRequest& request);

// The parameters for a logon through `fileName`'s entry for the entry's
// destination: TYPE=A gives ASHOST and SYSNR, TYPE=B MSHOST, SYSID (from
// R3NAME) and GROUP; client, user and password come from the entry and the
// language is D. TYPE=R and an absent entry are refused.
NwLogonParameters FileParameters(const LogonRequest& request, const std::string& fileName,
                                 const std::vector<NwDestination>& destinations);

}  // namespace fennick
