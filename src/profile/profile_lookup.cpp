#include "profile/profile_lookup.h"

#include "platform/paths.h"
#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const char kPrtgPathFile[] = "C:\\PRTG_Path.Txt";
const size_t kPrtgPathLineLimit = 99;
const char kPrtgSubpath[] = "PRTG Network Monitor\\Custom Sensors\\ExeXml\\";
const char kSensorSubpath[] = "Custom Sensors\\ExeXml\\";
const char* const kSensorDirectories[] = {
    "\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
};

RunFailure Missing(const std::string& what) { return NumberedFailure(1002, "Profile " + what + " is missing..."); }

bool CanOpen(const std::string& driveRoot, const std::string& path) {
  return OpenProgramFile(driveRoot, path) != nullptr;
}

}  // namespace

std::string PrtgDirectory(std::FILE* file) {
  std::string directory;
  TextLineReader reader(file, kPrtgPathLineLimit);
  std::string line;
  while (reader.Next(line)) {
    bool isPath = (line.size() > 0 && line[0] == '\\') || (line.size() > 2 && line[2] == '\\') ||
                  (line.size() > 1 && line[1] == ':');
    if (isPath) directory = line;
  }
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory;
}

namespace {

// The monitor's sensor directories, for the EXEXML mode.
Failure SearchSensorDirectories(RunParameters& run, const std::string& driveRoot, FilePtr& profile) {
  const std::string& name = run.profileName;
  run.profileDirectory.clear();
  if (FilePtr pathFile = OpenProgramFile(driveRoot, kPrtgPathFile)) {
    std::string directory = PrtgDirectory(pathFile.get());
    pathFile.reset();
    if (CanOpen(driveRoot, directory + kPrtgSubpath + name)) directory += kPrtgSubpath;
    if (CanOpen(driveRoot, directory + kSensorSubpath + name)) directory += kSensorSubpath;
    // The installation named its directory; the profile must be there.
    if (!CanOpen(driveRoot, directory + name)) return Missing(name);
    run.profileDirectory = directory;
  }
  profile = OpenProgramFile(driveRoot, run.profileDirectory + name);
  if (profile) return std::nullopt;
  for (const char* directory : kSensorDirectories) {
    run.profileDirectory = directory;
    profile = OpenProgramFile(driveRoot, run.profileDirectory + name);
    if (profile) return std::nullopt;
  }
  return Missing(name);
}

}  // namespace

FilePtr OpenProgramFile(const std::string& driveRoot, const std::string& path) {
  return OpenForRead(NativePath(path, driveRoot));
}

Failure FindProfile(RunParameters& run, bool searchSensorDirectories, const std::string& driveRoot, FilePtr& profile) {
  if (searchSensorDirectories) return SearchSensorDirectories(run, driveRoot, profile);
  std::string path = run.profileDirectory + run.profileName;
  profile = OpenProgramFile(driveRoot, path);
  if (!profile) return Missing(path);
  return std::nullopt;
}

}  // namespace fennick
