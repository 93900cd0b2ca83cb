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

// A file that is there but cannot be opened says why.
RunFailure Missing(const std::string& what, const std::string& why) {
  return NumberedFailure(1002, "Profile " + what + " is missing..." + (why.empty() ? "" : " (" + why + ")"));
}

// Opens a profile where the lookup probes for it; the first reason of a
// file that is there but cannot be opened is kept for the message.
FilePtr Probe(const std::string& driveRoot, const std::string& path, std::string& why) {
  std::string reason;
  FilePtr file = OpenForRead(NativePath(path, driveRoot), reason);
  if (why.empty()) why = reason;
  return file;
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

// The program's own folder, last: the monitor may run on another drive, or
// start the program in the system folder.
Failure SearchOwnFolder(RunParameters& run, const std::string& driveRoot, const std::string& programDirectory,
                        FilePtr& profile, std::string& why) {
  if (!programDirectory.empty()) {
    profile = Probe(driveRoot, programDirectory + run.profileName, why);
    if (profile) {
      run.profileDirectory = programDirectory;
      return std::nullopt;
    }
  }
  return Missing(run.profileName, why);
}

// The monitor's sensor directories, for the EXEXML mode.
Failure SearchSensorDirectories(RunParameters& run, const std::string& driveRoot, const std::string& programDirectory,
                                FilePtr& profile) {
  const std::string& name = run.profileName;
  std::string why;
  run.profileDirectory.clear();
  if (FilePtr pathFile = OpenProgramFile(driveRoot, kPrtgPathFile)) {
    std::string directory = PrtgDirectory(pathFile.get());
    pathFile.reset();
    if (Probe(driveRoot, directory + kPrtgSubpath + name, why)) directory += kPrtgSubpath;
    if (Probe(driveRoot, directory + kSensorSubpath + name, why)) directory += kSensorSubpath;
    // The installation named its directory; the profile must be there.
    why.clear();
    profile = Probe(driveRoot, directory + name, why);
    if (profile) {
      run.profileDirectory = directory;
      return std::nullopt;
    }
    return SearchOwnFolder(run, driveRoot, programDirectory, profile, why);
  }
  profile = Probe(driveRoot, name, why);
  if (profile) return std::nullopt;
  for (const char* directory : kSensorDirectories) {
    run.profileDirectory = directory;
    profile = Probe(driveRoot, run.profileDirectory + name, why);
    if (profile) return std::nullopt;
  }
  return SearchOwnFolder(run, driveRoot, programDirectory, profile, why);
}

}  // namespace

FilePtr OpenProgramFile(const std::string& driveRoot, const std::string& path) {
  return OpenForRead(NativePath(path, driveRoot));
}

Failure FindProfile(RunParameters& run, bool searchSensorDirectories, const std::string& driveRoot,
                    const std::string& programDirectory, FilePtr& profile) {
  if (searchSensorDirectories) return SearchSensorDirectories(run, driveRoot, programDirectory, profile);
  std::string path = run.profileDirectory + run.profileName;
  std::string why;
  profile = Probe(driveRoot, path, why);
  if (!profile) return Missing(path, why);
  return std::nullopt;
}

}  // namespace fennick
