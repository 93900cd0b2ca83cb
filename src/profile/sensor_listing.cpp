#include "profile/sensor_listing.h"

#include <limits>

#include "platform/text_lines.h"
#include "profile/profile_lookup.h"
#include "profile/profile_name.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// Listing lines are read whole: a name cut at a piece's end would run into
// the next piece as a name of its own.
const size_t kListingLineLimit = std::numeric_limits<size_t>::max();
const size_t kSensorKeyLength = 10;
const char kSensorAssignment[] = "Sensor=\"SAP Fennick\"";

void ReadProductProfile(std::FILE* file, SensorListing& listing) {
  TextLineReader reader(file, kListingLineLimit);
  for (std::string line; reader.Next(line);) {
    if (StartsWith(line, "# Gsng: ") && line.size() > 20) listing.systemList += line.substr(20);
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

RunFailure KeyTooLong(const std::string& key) {
  return NumberedFailure(1030, "Global Sensor " + key + " is longer than 10 characters...");
}

// A listing line of this sensor whose key runs on past the ten characters
// that are compared: the line is another sensor's, or a typing slip, and
// either way it must not be read from the middle of its key.
bool KeyRunsOn(const std::string& line, const std::string& key, std::string& lineKey) {
  const std::string head = ToUpper(line.substr(0, 8));
  if (head != "# GSNG: " && head != "# GSNX: ") return false;
  lineKey = line.substr(8, line.find_first_of(" =", 8) - 8);
  return lineKey.size() > kSensorKeyLength && ToUpper(lineKey.substr(0, kSensorKeyLength)) == key;
}

Failure ReadGlobalListing(std::FILE* file, RunParameters& run, SensorListing& listing) {
  // The key ends at the first blank or comma: keywords may follow it.
  const std::string typedKey = run.secondArgument.substr(0, run.secondArgument.find_first_of(" ,"));
  if (typedKey.size() > kSensorKeyLength) return KeyTooLong(typedKey);
  std::string key = ToUpper(typedKey);
  key.resize(kSensorKeyLength, ' ');
  const std::string listPrefix = "# GSNG: " + key;
  const std::string sensorPrefix = "# GSNX: " + key;

  run.itemName.clear();
  bool found = false;
  std::string sensorText;
  TextLineReader reader(file, kListingLineLimit);
  for (std::string line, lineKey; reader.Next(line);) {
    if (KeyRunsOn(line, key, lineKey)) return KeyTooLong(lineKey);
    const std::string head = ToUpper(line.substr(0, listPrefix.size()));
    if (head == listPrefix) {
      if (line.size() > 20) listing.systemList += line.substr(20);
    } else if (head == sensorPrefix) {
      sensorText = line.size() > 19 ? line.substr(19) : std::string();
      if (!Contains(sensorText, kSensorAssignment)) return NumberedFailure(1029, "Invalid Sensor-Allocation...");
      std::string parameters = sensorText.substr(0, sensorText.find(",Sensor="));
      for (char& c : parameters) {
        if (c == ':') c = ' ';
      }
      run.parameterText = parameters;
      run.parameterString = ToUpper(parameters);  // keyword positions match the values again
      listing.labelKind = LabelKindOf(line, listing.labelKind);
      found = true;
    }
  }
  size_t item = sensorText.find("Item=");
  if (item != std::string::npos) run.itemName = ExtractItemName(sensorText, item + 5);
  if (!found) return NumberedFailure(1030, "Global Sensor " + run.secondArgument + " not found...");
  return std::nullopt;
}

}  // namespace

Failure ReadSensorListing(RunParameters& run, const std::string& driveRoot, bool productProfile,
                          SensorListing& listing) {
  listing.systemList.clear();
  listing.labelKind = '1';
  FilePtr file = OpenProgramFile(driveRoot, run.profileDirectory + run.profileName);
  if (!file) {
    // The global listing's message has never had a number of its own.
    if (!productProfile) return RunFailure{"Error 10x1: ProFile " + run.profileName + " is missing..."};
    return NumberedFailure(1024, "ProFile " + run.profileName + " is missing...");
  }
  return ReadListingFile(file.get(), productProfile, run, listing);
}

Failure ReadListingFile(std::FILE* file, bool productProfile, RunParameters& run, SensorListing& listing) {
  if (productProfile) {
    ReadProductProfile(file, listing);
  } else if (Failure failure = ReadGlobalListing(file, run, listing)) {
    return failure;
  }
  if (listing.systemList.empty()) return NumberedFailure(1025, "Global Server Listing missing...");
  if (run.itemName.empty()) return NumberedFailure(1026, "Global Item Idenification missing...");
  return std::nullopt;
}

std::string TakeNextSystem(std::string& systemList) {
  size_t end = systemList.find('#');
  std::string name = systemList.substr(0, end);
  systemList.erase(0, end == std::string::npos ? std::string::npos : end + 1);
  return name;
}

unsigned CountSystems(const std::string& systemList) {
  unsigned count = 0;
  size_t start = 0;
  while (start < systemList.size()) {
    size_t end = systemList.find('#', start);
    ++count;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return count;
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
