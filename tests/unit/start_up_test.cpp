#include "driver/start_up.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

RunState ReadArgs(std::vector<std::string> args) {
  RunState rs;
  args.insert(args.begin(), "fennick");
  ReadArguments(rs, args);
  return rs;
}

TEST(StartUp, EveryArgumentAfterTheProfileCounts) {
  RunState rs = ReadArgs({"PRD", "MegaByte,x", "Ch=2", "and more", ",Warn=5"});
  EXPECT_EQ(rs.run.parameterText, "MegaByte,x Ch=2 and more ,Warn=5");
  EXPECT_EQ(rs.run.parameterString, "MEGABYTE,X CH=2 AND MORE ,WARN=5");
  EXPECT_EQ(rs.switches.warning, 5);
  EXPECT_EQ(rs.run.secondArgument, "MegaByte,x");
  EXPECT_EQ(rs.run.profileName, "PRD.P00");

  RunState none = ReadArgs({"PRD"});
  EXPECT_EQ(none.run.parameterText, "");
  EXPECT_FALSE(none.switches.consoleReport);
}

TEST(StartUp, ConsoleReportSwitches) {
  struct Row {
    const char* parameters;
    bool console;
  } rows[] = {{"#", true}, {"x@y", true}, {"$", true}, {"50%", true}, {"MEGABYTE,SYSLOG", false}, {"", false}};
  for (const Row& row : rows) {
    EXPECT_EQ(ReadArgs({"PRD", row.parameters}).switches.consoleReport, row.console) << row.parameters;
  }
}

TEST(StartUp, ItemKeywordIsFoundInAnyCaseAndKeepsTheNamesCase) {
  RunState rs = ReadArgs({"C:\\Dir\\PRD", "x,item=Psap:Sr3,y"});
  EXPECT_TRUE(rs.run.itemMode);
  EXPECT_EQ(rs.run.itemName, "Psap Sr3");
  EXPECT_EQ(rs.run.profileName, "Vireo.Prf");
  EXPECT_EQ(rs.run.profileDirectory, "");
}

TEST(StartUp, MissingProfileArgumentIsError1001) {
  RunState rs;
  Failure failure = StartRun(rs, {"fennick"});
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->message, "Error 1001: Parameter for Profile-Name is missing !");
  EXPECT_EQ(rs.banner.size(), std::string("* 12:00:00 SAP Fennick Vers 4.3 / 29.08.22").size());
  EXPECT_EQ(rs.banner.substr(10), " SAP Fennick Vers 4.3 / 29.08.22");
}

}  // namespace
}  // namespace fennick
