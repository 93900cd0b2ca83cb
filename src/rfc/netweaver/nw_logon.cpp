#include "rfc/netweaver/nw_logon.h"

#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const size_t kParameterLineLimit = 4096;
const char kNeedsClassic[] = " needs the classic RFC library";

void Add(NwLogonParameters& parameters, const char* name, const std::string& value) {
  // An empty value says nothing; the library takes the parameter as absent.
  if (!value.empty()) parameters.values.emplace_back(name, value);
}

void AddCredentials(NwLogonParameters& parameters, const SystemEntry& entry, const std::string& language) {
  Add(parameters, "CLIENT", entry.client);
  Add(parameters, "USER", entry.user);
  Add(parameters, "PASSWD", entry.password);
  Add(parameters, "LANG", language);
}

}  // namespace

std::string NwDestination::Value(const std::string& key) const {
  std::string found;
  for (const auto& value : values) {
    if (value.first == key) found = value.second;
  }
  return found;
}

std::vector<NwDestination> ReadParameterFile(std::FILE* file) {
  std::vector<NwDestination> destinations;
  TextLineReader reader(file, kParameterLineLimit);
  for (std::string line; reader.Next(line);) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = ToUpper(TrimBlanks(line.substr(0, equals)));
    std::string value = TrimBlanks(line.substr(equals + 1));
    if (key == "DEST") {
      destinations.emplace_back();
      destinations.back().name = value;
    } else if (!destinations.empty()) {
      destinations.back().values.emplace_back(key, value);
    }
  }
  return destinations;
}

NwLogonParameters EntryParameters(const LogonRequest& request) {
  const SystemEntry& entry = request.entry;
  NwLogonParameters parameters;
  if (entry.mode == "R/2") {
    parameters.refusal = "Mode R/2" + std::string(kNeedsClassic);
    return parameters;
  }
  Add(parameters, "ASHOST", request.hostOverride.value_or(entry.hostname));
  Add(parameters, "SYSNR", request.sysnrOverride.value_or(entry.sysnr));
  AddCredentials(parameters, entry, entry.language);
  return parameters;
}

NwLogonParameters FileParameters(const LogonRequest& request, const std::string& fileName,
                                 const std::vector<NwDestination>& destinations) {
  const SystemEntry& entry = request.entry;
  NwLogonParameters parameters;
  const NwDestination* destination = nullptr;
  for (const NwDestination& candidate : destinations) {
    if (!destination && ToUpper(candidate.name) == ToUpper(entry.destination)) destination = &candidate;
  }
  if (!destination) {
    parameters.refusal = fileName + " has no entry DEST=" + entry.destination;
    return parameters;
  }
  const std::string type = ToUpper(destination->Value("TYPE"));
  if (type == "A") {
    Add(parameters, "ASHOST", destination->Value("ASHOST"));
    Add(parameters, "SYSNR", destination->Value("SYSNR"));
  } else if (type == "B") {
    Add(parameters, "MSHOST", destination->Value("MSHOST"));
    Add(parameters, "SYSID", destination->Value("R3NAME"));
    Add(parameters, "GROUP", destination->Value("GROUP"));
  } else if (type == "R") {
    parameters.refusal = fileName + ": TYPE=R" + kNeedsClassic;
    return parameters;
  } else {
    parameters.refusal = fileName + ": DEST=" + destination->name + " needs TYPE=A or TYPE=B";
    return parameters;
  }
  // As on the classic road, a logon through the parameter file is in language D.
  AddCredentials(parameters, entry, "D");
  return parameters;
}

}  // namespace fennick
