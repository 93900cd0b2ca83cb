#include "profile/sensor_listing.h"

#include "platform/text_lines.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const size_t kListingLineLimit = 199;
const size_t kSensorKeyLength = 10;
const char kSensorAssignment[] = "Sensor=\"SAP Fennick\"";

void ReadProductProfile(std::FILE* file, RunState& rs) {
  TextLineReader reader(file, kListingLineLimit);
  for (std::string line; reader.Next(line);) {
    if (StartsWith(line, "# Gsng: ") && line.size() > 20) rs.systemList += line.substr(20);
  }
}

char LabelKindOf(const std::string& sensorLine, char current) {
  char kind = current;
  if (Contains(sensorLine, ",Profile")) kind = '1';
  if (Contains(sensorLine, ",Alias")) kind = '2';
  if (Contains(sensorLine, ",Host")) kind = '3';
  if (Contains(sensorLine, ",Sid")) kind = '4';
  return kind;
}

Failure ReadGlobalListing(std::FILE* file, RunState& rs) {
  std::string key = rs.parameterString.substr(0, rs.parameterString.find(' '));
  key.resize(kSensorKeyLength, ' ');  // only the first ten characters count
  const std::string listPrefix = "# GSNG: " + key;
  const std::string sensorPrefix = "# GSNX: " + key;

  rs.itemName.clear();
  bool found = false;
  std::string sensorText;
  TextLineReader reader(file, kListingLineLimit);
  for (std::string line; reader.Next(line);) {
    const std::string head = ToUpper(line.substr(0, listPrefix.size()));
    if (head == listPrefix) {
      if (line.size() > 20) rs.systemList += line.substr(20);
    } else if (head == sensorPrefix) {
      sensorText = line.size() > 19 ? line.substr(19) : std::string();
      if (!Contains(sensorText, kSensorAssignment)) return RunFailure{"Error 1029: Invalid Sensor-Allocation..."};
      std::string parameters = sensorText.substr(0, sensorText.find(",Sensor="));
      for (char& c : parameters) {
        if (c == ':') c = ' ';
      }
      rs.parameterText = parameters;
      rs.parameterString = ToUpper(parameters);  // keyword positions match the values again
      rs.labelKind = LabelKindOf(line, rs.labelKind);
      found = true;
    }
  }
  size_t item = sensorText.find("Item=");
  if (item != std::string::npos) rs.itemName = ExtractItemName(sensorText, item + 5);
  if (!found) return RunFailure{"Error 1030: Global Sensor " + rs.secondArgument + " not found..."};
  return std::nullopt;
}

}  // namespace

Failure ReadSensorListing(RunState& rs) {
  rs.profileFile.reset();  // the listing is opened afresh
  rs.systemList.clear();
  rs.labelKind = '1';
  const bool productProfile = Contains(rs.parameterString, "ITEM=");
  FilePtr file = OpenProgramFile(rs, rs.profileDirectory + rs.profileName);
  if (!file) {
    return RunFailure{(productProfile ? "Error 1024: ProFile " : "Error 10x1: ProFile ") + rs.profileName +
                      " is missing..."};
  }
  return ReadListingFile(file.get(), productProfile, rs);
}

Failure ReadListingFile(std::FILE* file, bool productProfile, RunState& rs) {
  if (productProfile) {
    ReadProductProfile(file, rs);
  } else if (Failure failure = ReadGlobalListing(file, rs)) {
    return failure;
  }
  if (rs.systemList.empty()) return RunFailure{"Error 1025: Global Server Listing missing..."};
  if (rs.itemName.empty()) return RunFailure{"Error 1026: Global Item Idenification missing..."};
  return std::nullopt;
}

std::string TakeNextSystem(std::string& systemList) {
  size_t end = systemList.find('#');
  std::string name = systemList.substr(0, end);
  systemList.erase(0, end == std::string::npos ? std::string::npos : end + 1);
  return name;
}

std::string SystemLabel(char labelKind, const std::string& profileName, const SystemEntry& entry) {
  switch (labelKind) {
    case '2': return profileName.substr(0, profileName.size() >= 4 ? profileName.size() - 4 : 0);
    case '3': return entry.hostname;
    case '4': return entry.destination;
    default: return profileName;
  }
}

}  // namespace fennick
