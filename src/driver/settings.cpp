#include "driver/settings.h"

#include "output/output_form.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_lines.h"
#include "profile/text_util.h"
#include "rfc/backends.h"

namespace fennick {

namespace {

const char kSettingsFile[] = "Fennick.Ini";
const size_t kSettingsLineLimit = 4096;

// Blanks at the end of a setting are an editor's accident, not a value.
std::string TrimTrailingBlanks(std::string value) {
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  return value;
}

}  // namespace

Failure ReadInstallationSettings(RunSwitches& switches, const std::string& programPath) {
  FilePtr file = OpenForRead(kSettingsFile);
  if (!file) file = OpenForRead(NativeDirectoryOf(programPath) + kSettingsFile);
  if (!file) return std::nullopt;  // no settings: EXEXML, drives below "/"
  return ReadSettingsFile(file.get(), switches);
}

Failure ReadSettingsFile(std::FILE* file, RunSwitches& switches) {
  bool modeGiven = false;
  std::string mode;
  bool libraryGiven = false;
  std::string library;
  TextLineReader reader(file, kSettingsLineLimit);
  std::string line;
  while (reader.Next(line)) {
    std::string value = line.size() > 13 ? TrimTrailingBlanks(line.substr(13)) : std::string();
    if (StartsWith(line, "Outputmode.:")) {
      mode = value;
      modeGiven = true;
    } else if (StartsWith(line, "Driveroot..:")) {
      switches.driveRoot = value.empty() ? "/" : value;
    } else if (StartsWith(line, "Rfclibrary.:")) {
      library = value;
      libraryGiven = true;
    } else if (StartsWith(line, "Historydir.:")) {
      switches.historyDir = value;
    }
  }
  if (modeGiven && !FindOutputForm(mode)) {
    return RunFailure{"Fennick.Ini: unknown Outputmode \"" + mode + "\" (use " + OutputFormNames() + ")"};
  }
  // A good mode holds for the error of a bad line after it too: the monitor
  // reads that error only in its own form.
  if (modeGiven) switches.outputMode = mode;
  if (libraryGiven && (library.empty() || !IsRfcLibraryChoice(library))) {
    return RunFailure{"Fennick.Ini: unknown Rfclibrary \"" + library + "\" (use classic or netweaver)"};
  }
  switches.rfcLibrary = library;
  return std::nullopt;
}

}  // namespace fennick
