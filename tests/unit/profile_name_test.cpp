#include "profile/profile_name.h"

#include <gtest/gtest.h>

#include "driver/keywords.h"
#include "profile/run_parameters.h"
#include "profile/text_util.h"

namespace fennick {
namespace {

struct Completion {
  const char* argument;
  const char* parameters;
  const char* directory;
  const char* name;
  bool itemMode;
  const char* itemName;
};

TEST(ProfileName, Completion) {
  const Completion rows[] = {
      {"MYSYS", "", "", "MYSYS.P00", false, ""},
      {"MYSYS.TXT", "", "", "MYSYS.TXT", false, ""},
      {"MY.SY", "", "", "MY.SY.P00", false, ""},
      {"AB", "", "", "AB.P00", false, ""},
      {"", "", "", ".P00", false, ""},
      {"global.p00", "", "", "SAP Vireo.Gbl", true, ""},
      {"GLOBAL", "", "", "SAP Vireo.Gbl", true, ""},
      {"C:\\Dir\\Global.P00", "", "C:\\Dir\\", "SAP Vireo.Gbl", true, ""},
      {"C:\\Dir\\Sub\\PRD", "", "C:\\Dir\\Sub\\", "PRD.P00", false, ""},
      {"\\PRD.P00", "", "", "\\PRD.P00", false, ""},  // a separator only in front stays
      {"\\Dir\\PRD.P00", "", "\\Dir\\", "PRD.P00", false, ""},
      {"dir/PRD", "", "dir/", "PRD.P00", false, ""},
      {"C:\\Dir\\X.P00", "ITEM=Disk:C,x", "", "Vireo.Prf", true, "Disk C"},
      {"GLOBAL", "a item=PsapSr3 b", "", "SAP Vireo.Gbl", true, ""},  // the sensor's line names the item
      {"X", "ITEM=", "", "Vireo.Prf", true, ""},
  };
  for (const Completion& row : rows) {
    RunParameters rs;
    rs.parameterText = row.parameters;
    rs.parameterString = ToUpper(row.parameters);
    RunSwitches switches;
    ReadKeywords(rs.parameterString, rs.parameterText, kCommandLine, switches);
    CompleteProfileName(rs, row.argument, switches.item);
    EXPECT_EQ(rs.profileDirectory, row.directory) << row.argument;
    EXPECT_EQ(rs.profileName, row.name) << row.argument;
    EXPECT_EQ(rs.itemMode, row.itemMode) << row.argument;
    EXPECT_EQ(rs.itemName, row.itemName) << row.argument;
  }
}

TEST(ProfileName, ItemNameStopsAtBlankCommaOrNinetyCharacters) {
  EXPECT_EQ(ExtractItemName("ITEM=a:b:c d", 5), "a b c");
  EXPECT_EQ(ExtractItemName("ITEM=PSAPSR3,MEGABYTE", 5), "PSAPSR3");
  std::string longName(120, 'x');
  EXPECT_EQ(ExtractItemName("ITEM=" + longName, 5), std::string(90, 'x'));
  EXPECT_EQ(ExtractItemName("ITEM=", 5), "");
  EXPECT_EQ(ExtractItemName("ITEM=", 9), "");
}

}  // namespace
}  // namespace fennick
