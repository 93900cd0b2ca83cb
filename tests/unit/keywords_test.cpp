#include "driver/keywords.h"

#include <gtest/gtest.h>

#include "driver/run_state.h"
#include "driver/start_up.h"
#include "output/result_writer.h"
#include "profile/text_util.h"

namespace fennick {
namespace {

TEST(Keywords, ValuesAsTyped) {
  struct Row {
    const char* parameters;
    std::optional<int64_t> warning, error;
    int budget;
    const char* failure;  // empty: accepted
  } rows[] = {
      {"", {}, {}, 0, ""},
      {",WARN=20,ERROR=10,TIMEOUT=55", 20, 10, 55, ""},
      {"megabyte,warn=0 ,error=2147483647", 0, 2147483647, 0, ""},
      {"x ,TIMEOUT=3600", {}, {}, 3600, ""},
      {",TIMEOUT=1", {}, {}, 1, ""},
      {"WARN=5", 5, {}, 0, ""},               // without its comma, at the start
      {"x TIMEOUT=9,error=3", {}, 3, 9, ""},  // and after a blank
      {"xWARN=5", {}, {}, 0, ""},             // but not inside a word
      {",WARN=", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,WARN= !"},
      {",WARN=2147483648", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,WARN= !"},
      {",WARN=99999999999999999999999", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,WARN= !"},
      {",WARN=-1", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,WARN= !"},
      {",ERROR=1e3", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,ERROR= !"},
      {",error=#", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,ERROR= !"},
      {",TIMEOUT=0", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,TIMEOUT= !"},
      {",TIMEOUT=3601", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,TIMEOUT= !"},
      {",TIMEOUT=", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,TIMEOUT= !"},
      // The first bad keyword in the order WARN, ERROR, TIMEOUT is named.
      {",TIMEOUT=0,ERROR=x", {}, {}, 0, "Error 1031: Invalid Parameter-Value ,ERROR= !"},
  };
  for (const Row& row : rows) {
    RunSwitches switches;
    ReadKeywords(ToUpper(row.parameters), row.parameters, kCommandLine, switches);
    const Failure& failure = switches.badValue;
    EXPECT_EQ(failure ? failure->message : "", row.failure) << row.parameters;
    if (failure) continue;
    EXPECT_EQ(switches.warning, row.warning) << row.parameters;
    EXPECT_EQ(switches.error, row.error) << row.parameters;
    EXPECT_EQ(BudgetSeconds(switches), row.budget) << row.parameters;
  }
}

// A typing error in a keyword is an error, and a keyword's value is never
// read as keywords.
TEST(Keywords, WordsAreTakenWhole) {
  struct Row {
    const char* parameters;
    const char* unknown;  // the word named by Error 1031; empty: none
    bool console, megabyte;
    const char* item;  // empty: none
  } rows[] = {
      {",WARNING=25", ",WARNING=", false, false, ""},
      {",eror=10", ",EROR=", false, false, ""},
      {",ERR=10", ",ERR=", false, false, ""},
      {"x ,TIMOUT=5", ",TIMOUT=", false, false, ""},
      {",EXLCUDE=X", ",EXLCUDE=", false, false, ""},
      {",AUTOEXTENT", ",AUTOEXTENT", false, false, ""},
      {",EXCLUDE=PSAPTEMP,PSAPUNDO", ",PSAPUNDO", false, false, ""},
      {"WARNING=25", "WARNING=", false, false, ""},
      {"x warning=25,WARN=3", "WARNING=", false, false, ""},
      {",SYSLOG2", ",SYSLOG2", false, false, ""},
      {"MEGABYTE,WARN=5,x,5,,#", "", true, true, ""},  // one letter, a digit or nothing after a comma
      {",EXCLUDE=SYS$AUX", "", false, false, ""},
      {",EXCLUDE=PSAPTEMP_GIGABYTE:TS@1", "", false, false, ""},
      {",HOST=a%b,NO=00", "", false, false, ""},
      {"ITEM=MEGABYTE01", "", false, false, "MEGABYTE01"},
      {"ITEM=Disk:C,x $", "", true, false, "Disk C"},
      {",MEGABYTE", "", false, true, ""},
      {"MEGABYTES", "", false, true, ""},  // searched inside words, as always
      {"Item=PSAPSR3,Sid,Host,Alias,Profile Sensor=\"SAP Fennick\"", "", false, false, "PSAPSR3"},
  };
  for (const Row& row : rows) {
    RunSwitches switches;
    ReadKeywords(ToUpper(row.parameters), row.parameters, kCommandLine, switches);
    const Failure& failure = switches.unknownWord;
    const std::string expected =
        *row.unknown ? "Error 1031: Invalid Parameter-Value " + std::string(row.unknown) + " !" : "";
    EXPECT_EQ(failure ? failure->message : "", expected) << row.parameters;
    EXPECT_EQ(switches.consoleReport, row.console) << row.parameters;
    EXPECT_EQ(switches.megabyte, row.megabyte) << row.parameters;
    EXPECT_EQ(switches.item.value_or(""), row.item) << row.parameters;
  }
}

TEST(Keywords, ChannelsCarryTheLimitsInExexmlOnly) {
  const std::string value =
      "\n<Result><Channel>T</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n<Value>5</Value>";
  struct Row {
    const char* mode;
    std::optional<int64_t> warning, error;
    std::string expected;
  } rows[] = {
      {"EXEXML", 20, 10,
       value + "\n<LimitMode>1</LimitMode>\n<LimitMinWarning>20</LimitMinWarning>\n<LimitMinError>10</LimitMinError>"
               "</Result>\n"},
      {"EXEXML", 20, {}, value + "\n<LimitMode>1</LimitMode>\n<LimitMinWarning>20</LimitMinWarning></Result>\n"},
      {"EXEXML", {}, 0, value + "\n<LimitMode>1</LimitMode>\n<LimitMinError>0</LimitMinError></Result>\n"},
      {"EXEXML", {}, {}, value + "</Result>\n"},
      {"Lumenox", 20, 10, value + "</Result>\n"},
      {"Quimbel", 20, 10, value + "</Result>\n"},
  };
  for (const Row& row : rows) {
    ResultWriter writer;
    writer.form = FindOutputForm(row.mode);
    writer.limits.warning = row.warning;
    writer.limits.error = row.error;
    WriteChannel(writer, "T", "5", "%");
    EXPECT_EQ(writer.messageBuffer, row.expected) << row.mode;
  }
}

}  // namespace
}  // namespace fennick

namespace fennick {
namespace {

// Without ,TIMEOUT= the plugin form ends a run before the monitor kills it.
TEST(Keywords, ThePluginFormHasABudgetOfItsOwn) {
  for (const char* parameters : {",NAGIOS", ",NAGIOS,TIMEOUT=7", ""}) {
    RunState rs;
    ReadKeywords(ToUpper(parameters), parameters, kCommandLine, rs.switches);
    ASSERT_FALSE(SettleSwitches(rs).has_value());
    const int expected = std::string(parameters) == ",NAGIOS" ? 50 : std::string(parameters).empty() ? 0 : 7;
    EXPECT_EQ(BudgetSeconds(rs.switches), expected) << parameters;
  }
}

}  // namespace
}  // namespace fennick
