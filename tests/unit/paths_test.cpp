#include "platform/paths.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(Paths, WindowsPathsOnThisHost) {
  struct Row {
    const char* path;
    const char* root;
    const char* native;
  } rows[] = {
      {"C:\\PRTG_Path.Txt", "/", "/PRTG_Path.Txt"},
      {"C:\\PRTG_Path.Txt", "/tmp/drive", "/tmp/drive/PRTG_Path.Txt"},
      {"C:\\PRTG_Path.Txt", "/tmp/drive/", "/tmp/drive/PRTG_Path.Txt"},
      {"\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\SYS.P00", "/r",
       "/r/Program Files/PRTG Network Monitor/Custom Sensors/ExeXml/SYS.P00"},
      {"e:\\PRTG\\\\SYS.P00", "/r", "/r/PRTG//SYS.P00"},
      {"Sub\\SYS.P00", "/r", "Sub/SYS.P00"},
      {"SYS.P00", "/r", "SYS.P00"},
      {"C:SYS.P00", "/r", "SYS.P00"},
      {"/abs/SYS.P00", "/r", "/r/abs/SYS.P00"},
      {"1:\\x", "/r", "1:/x"},  // not a drive letter
  };
  for (const Row& row : rows) EXPECT_EQ(NativePath(row.path, row.root), row.native) << row.path;
}

}  // namespace
}  // namespace fennick
