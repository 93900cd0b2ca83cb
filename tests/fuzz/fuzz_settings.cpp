// Fennick.Ini: the output mode and the root of drive paths.
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/keywords.h"
#include "driver/settings.h"
#include "fuzz_input.h"
#include "output/output_form.h"
#include "platform/paths.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::Text(data, size);
  fuzz::MemoryFile file = fuzz::OpenText(text);
  if (!file) return 0;

  fennick::RunSwitches rs;
  fennick::Failure failure = fennick::ReadSettingsFile(file.get(), rs);
  if (failure) {
    fuzz::Check(failure->message.rfind("Fennick.Ini: unknown Outputmode \"", 0) == 0 ||
                    failure->message.rfind("Fennick.Ini: unknown Rfclibrary \"", 0) == 0,
                "unexpected settings failure", failure->message);
    return 0;
  }
  // Whatever the file says, the run goes on with a mode the writer knows.
  fuzz::Check(fennick::FindOutputForm(rs.outputMode) != nullptr, "accepted an unknown output mode", rs.outputMode);
  fuzz::Check(!rs.driveRoot.empty(), "empty drive root");

  // The drive root decides where C:\PRTG_Path.Txt and the sensor
  // directories are looked for.
  std::string path = fennick::NativePath("C:\\PRTG_Path.Txt", rs.driveRoot);
  fuzz::Check(EndsWith(path, "/PRTG_Path.Txt"), "drive path lost its file name", path);
  path = fennick::NativePath("\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00", rs.driveRoot);
  fuzz::Check(EndsWith(path, "/Program Files/PRTG Network Monitor/Custom Sensors/ExeXml/PRD.P00"),
              "sensor directory lost", path);
  return 0;
}
