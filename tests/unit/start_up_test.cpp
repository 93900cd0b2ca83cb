#include "driver/start_up.h"

#include <gtest/gtest.h>

#include <optional>

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

// Options as getopt takes them, and against the keywords beside them.
TEST(StartUp, PluginOptions) {
  struct Row {
    std::vector<std::string> args;
    std::optional<int64_t> warning, error, timeout;
    const char* failure;  // empty: none
  } rows[] = {
      {{"PRD", "-w25", "-c10", "-t30"}, 25, 10, 30, ""},
      {{"PRD", "--warning", "25", "--critical", "10", "--timeout", "30"}, 25, 10, 30, ""},
      {{"PRD", "-w", "25", ",WARN=025", "--critical=10", "ERROR=10"}, 25, 10, {}, ""},
      {{"PRD", "-w", "25", ",WARN=30"}, {}, {}, {}, "Error 1031: Invalid Parameter-Value ,WARN= !"},
      {{"PRD", "TIMEOUT=9", "-t10"}, {}, {}, {}, "Error 1031: Invalid Parameter-Value ,TIMEOUT= !"},
      {{"PRD", "--timeout"}, {}, {}, {}, "Error 1031: Invalid Parameter-Value ,TIMEOUT= !"},
  };
  for (const Row& row : rows) {
    RunState rs = ReadArgs(row.args);
    const Failure failure = KeywordProblem(rs.switches);
    EXPECT_EQ(failure ? failure->message : "", row.failure) << row.args[1];
    if (failure) continue;
    EXPECT_EQ(rs.switches.warning, row.warning) << row.args[1];
    EXPECT_EQ(rs.switches.error, row.error) << row.args[1];
    EXPECT_EQ(rs.switches.timeout, row.timeout) << row.args[1];
  }
}

// A global sensor's key is the first word that is no option, up to a blank
// or a comma; ITEM= in its place is an item run over the product profile.
TEST(StartUp, GlobalSensorKey) {
  RunState rs = ReadArgs({"GLOBAL", "-w", "25", "PSAPSR3,TIMEOUT=5"});
  EXPECT_EQ(rs.run.secondArgument, "PSAPSR3,TIMEOUT=5");
  EXPECT_EQ(rs.run.profileName, "SAP Vireo.Gbl");
  RunState item = ReadArgs({"GLOBAL", "ITEM=PSAPSR3"});
  EXPECT_EQ(item.run.profileName, "Vireo.Prf");
  EXPECT_EQ(item.run.itemName, "PSAPSR3");
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
