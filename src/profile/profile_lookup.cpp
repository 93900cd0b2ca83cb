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

RunFailure Missing(const std::string& what) { return RunFailure{"Error 1002: Profile " + what + " is missing..."}; }

bool CanOpen(const RunState& rs, const std::string& path) { return OpenProgramFile(rs, path) != nullptr; }

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
Failure SearchSensorDirectories(RunState& rs) {
  const std::string& name = rs.profileName;
  rs.profileDirectory.clear();
  if (FilePtr pathFile = OpenProgramFile(rs, kPrtgPathFile)) {
    std::string directory = PrtgDirectory(pathFile.get());
    pathFile.reset();
    if (CanOpen(rs, directory + kPrtgSubpath + name)) directory += kPrtgSubpath;
    if (CanOpen(rs, directory + kSensorSubpath + name)) directory += kSensorSubpath;
    // The installation named its directory; the profile must be there.
    if (!CanOpen(rs, directory + name)) return Missing(name);
    rs.profileDirectory = directory;
  }
  rs.profileFile = OpenProgramFile(rs, rs.profileDirectory + name);
  if (rs.profileFile) return std::nullopt;
  for (const char* directory : kSensorDirectories) {
    rs.profileDirectory = directory;
    rs.profileFile = OpenProgramFile(rs, rs.profileDirectory + name);
    if (rs.profileFile) return std::nullopt;
  }
  return Missing(name);
}

}  // namespace

FilePtr OpenProgramFile(const RunState& rs, const std::string& path) {
  return OpenForRead(NativePath(path, rs.driveRoot));
}

Failure FindProfile(RunState& rs) {
  if (rs.outputMode == "EXEXML" && !Contains(rs.parameterString, "@")) return SearchSensorDirectories(rs);
  std::string path = rs.profileDirectory + rs.profileName;
  rs.profileFile = OpenProgramFile(rs, path);
  if (!rs.profileFile) return Missing(path);
  return std::nullopt;
}

}  // namespace fennick
