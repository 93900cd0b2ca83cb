#include "profile/sensor_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "profile/text_util.h"

namespace fennick {
namespace {

// Each test works in a fresh directory, where the listing lies.
class SensorListing : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/fennick-listing-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = std::string(name) + "/";
  }
  void TearDown() override {
    std::remove((dir_ + "SAP Vireo.Gbl").c_str());
    std::remove((dir_ + "Vireo.Prf").c_str());
    rmdir(dir_.c_str());
  }

  Failure Read(const std::string& file, const std::string& content, const std::string& secondArgument) {
    std::ofstream(dir_ + file, std::ios::binary) << content;
    rs_.profileDirectory = dir_;
    rs_.profileName = file;
    rs_.secondArgument = secondArgument;
    rs_.parameterText = secondArgument;
    rs_.parameterString = ToUpper(secondArgument);
    return ReadSensorListing(rs_, "/", Contains(rs_.parameterString, "ITEM="), listing_);
  }

  std::string dir_;
  RunParameters rs_;
  fennick::SensorListing listing_;
};

TEST_F(SensorListing, GlobalListingWithAliasLabels) {
  Failure f = Read("SAP Vireo.Gbl",
                   "# GSNG: DISK      = A.P00#\n"
                   "# gsng: disk      = B.P00#\n"
                   "# GSNG: OTHER     = C.P00#\n"
                   "# GSNX: disk      =Item=Psap:Sr3,MEGABYTE,Alias,Sensor=\"SAP Fennick\",Sid,Alias\n",
                   "disk");
  ASSERT_FALSE(f.has_value()) << f->message;
  EXPECT_EQ(listing_.systemList, "A.P00#B.P00#");
  EXPECT_EQ(rs_.itemName, "Psap Sr3");
  EXPECT_EQ(listing_.labelKind, '4');  // ",Sid" is searched after ",Alias"
  EXPECT_EQ(rs_.parameterText, "Item=Psap Sr3,MEGABYTE,Alias");
  EXPECT_EQ(rs_.parameterString, "ITEM=PSAP SR3,MEGABYTE,ALIAS");
}

TEST_F(SensorListing, KeysOfTenCharactersAndLonger) {
  const std::string listing =
      "# GSNG: ABCDEFGHIJ  X.P00#\n"
      "# GSNX: ABCDEFGHIJ Item=T1,Host,Sensor=\"SAP Fennick\"\n";
  Failure f = Read("SAP Vireo.Gbl", listing, "abcdefghij rest");
  ASSERT_FALSE(f.has_value()) << f->message;
  EXPECT_EQ(listing_.systemList, "X.P00#");
  EXPECT_EQ(listing_.labelKind, '3');

  // A longer key is refused, never cut, on the command line and in the file.
  f = Read("SAP Vireo.Gbl", listing, "abcdefghijkl rest");
  EXPECT_EQ(f->message, "Error 1030: Global Sensor abcdefghijkl is longer than 10 characters...");
  f = Read("SAP Vireo.Gbl", "# GSNG: ABCDEFGHIJKL = Y.P00#\n" + listing, "abcdefghij");
  EXPECT_EQ(f->message, "Error 1030: Global Sensor ABCDEFGHIJKL is longer than 10 characters...");
  // Another sensor's long key is not looked at.
  f = Read("SAP Vireo.Gbl", "# GSNG: ZBCDEFGHIJKL = Y.P00#\n" + listing, "abcdefghij");
  EXPECT_FALSE(f.has_value());
}

TEST_F(SensorListing, ALineOfAnyLengthIsReadWhole) {
  std::string names;
  for (int i = 0; i < 500; ++i) names += "SYSTEM" + std::to_string(i) + ".P00#";
  Failure f = Read("SAP Vireo.Gbl",
                   "# GSNG: DISK      = " + names + "\n# GSNX: DISK      =Item=T1,Sensor=\"SAP Fennick\"\n", "disk");
  ASSERT_FALSE(f.has_value()) << f->message;
  EXPECT_EQ(listing_.systemList, names);
  EXPECT_EQ(CountSystems(listing_.systemList), 500u);
}

TEST_F(SensorListing, Errors) {
  struct Row {
    const char* file;
    std::string content;
    const char* argument;
    const char* message;
  } rows[] = {
      {"SAP Vireo.Gbl", "# GSNX: DISK      =Item=X,Sensor=\"SAP Other\"\n", "DISK",
       "Error 1029: Invalid Sensor-Allocation..."},
      {"SAP Vireo.Gbl", "# GSNG: DISK        A.P00#\n", "Disk", "Error 1030: Global Sensor Disk not found..."},
      {"SAP Vireo.Gbl", "", "", "Error 1030: Global Sensor  not found..."},
      {"SAP Vireo.Gbl", "# GSNX: DISK      =Sensor=\"SAP Fennick\"\n", "DISK",
       "Error 1025: Global Server Listing missing..."},
      {"SAP Vireo.Gbl", "# GSNG: DISK        A.P00#\n# GSNX: DISK      =Sensor=\"SAP Fennick\"\n", "DISK",
       "Error 1026: Global Item Idenification missing..."},
      {"Vireo.Prf", "# GSNG: DISK        A.P00#\n", "ITEM=X", "Error 1025: Global Server Listing missing..."},
      {"Vireo.Prf", "# Gsng: DISK        A.P00#\n", "ITEM=", "Error 1026: Global Item Idenification missing..."},
  };
  for (const Row& row : rows) {
    rs_ = RunParameters();
    listing_ = fennick::SensorListing();
    rs_.itemName = ToUpper(row.argument).find("ITEM=") == 0 ? std::string(row.argument).substr(5) : "";
    Failure f = Read(row.file, row.content, row.argument);
    ASSERT_TRUE(f.has_value()) << row.message;
    EXPECT_EQ(f->message, row.message);
  }
}

TEST_F(SensorListing, MissingListings) {
  rs_.profileDirectory = dir_;
  rs_.profileName = "Vireo.Prf";
  rs_.parameterString = "ITEM=X";
  EXPECT_EQ(ReadSensorListing(rs_, "/", true, listing_)->message, "Error 1024: ProFile Vireo.Prf is missing...");
  rs_.profileName = "SAP Vireo.Gbl";
  rs_.parameterString = "DISK";
  EXPECT_EQ(ReadSensorListing(rs_, "/", false, listing_)->message, "Error 10x1: ProFile SAP Vireo.Gbl is missing...");
}

TEST_F(SensorListing, ProductProfileTakesOnlyMixedCaseLines) {
  rs_.itemName = "PSAPSR3";
  Failure f = Read("Vireo.Prf", "# Gsng: anything    A.P00#\n# GSNG: anything    B.P00#\n# Gsng:x\n", "ITEM=PSAPSR3");
  ASSERT_FALSE(f.has_value());
  EXPECT_EQ(listing_.systemList, "A.P00#");
}

TEST(SystemList, WalkAndLabels) {
  std::string list = "A.P00#B.P00#C";
  EXPECT_EQ(TakeNextSystem(list), "A.P00");
  EXPECT_EQ(TakeNextSystem(list), "B.P00");
  EXPECT_EQ(TakeNextSystem(list), "C");
  EXPECT_EQ(list, "");
  std::string empty = "#X#";
  EXPECT_EQ(TakeNextSystem(empty), "");
  EXPECT_EQ(empty, "X#");
  // The time budget counts the names the walk will give.
  for (const char* listing : {"", "A.P00#", "A.P00#B", "#X#", "##", "A#B#C#"}) {
    std::string walk = listing;
    unsigned taken = 0;
    while (!walk.empty()) {
      TakeNextSystem(walk);
      ++taken;
    }
    EXPECT_EQ(CountSystems(listing), taken) << listing;
  }

  SystemEntry entry;
  entry.hostname = "sapprd01";
  entry.destination = "PRD";
  EXPECT_EQ(SystemLabel('1', "SYS.P00", entry), "SYS.P00");
  EXPECT_EQ(SystemLabel('2', "SYS.P00", entry), "SYS");
  EXPECT_EQ(SystemLabel('2', "AB", entry), "");
  EXPECT_EQ(SystemLabel('3', "SYS.P00", entry), "sapprd01");
  EXPECT_EQ(SystemLabel('4', "SYS.P00", entry), "PRD");
}

}  // namespace
}  // namespace fennick
