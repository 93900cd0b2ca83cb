#include "rfc/netweaver/nw_logon.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fennick {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

LogonRequest Request(const std::string& mode = "R/3") {
  LogonRequest request;
  request.entry.destination = "PRD";
  request.entry.client = "100";
  request.entry.user = "MONITOR";
  request.entry.password = "Sec ret";
  request.entry.language = "E";
  request.entry.mode = mode;
  request.entry.hostname = "sapprd01";
  request.entry.sysnr = "00";
  return request;
}

std::vector<NwDestination> Parse(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  std::vector<NwDestination> destinations = ReadParameterFile(file);
  std::fclose(file);
  return destinations;
}

TEST(NwLogon, FromTheEntryWithItsOverrides) {
  NwLogonParameters p = EntryParameters(Request());
  EXPECT_TRUE(p.refusal.empty());
  EXPECT_EQ(p.values, (Values{{"ASHOST", "sapprd01"},
                              {"SYSNR", "00"},
                              {"CLIENT", "100"},
                              {"USER", "MONITOR"},
                              {"PASSWD", "Sec ret"},
                              {"LANG", "E"}}));
  LogonRequest request = Request();
  request.hostOverride = "other";
  request.sysnrOverride = "7";
  request.entry.language.clear();
  EXPECT_EQ(
      EntryParameters(request).values,
      (Values{{"ASHOST", "other"}, {"SYSNR", "7"}, {"CLIENT", "100"}, {"USER", "MONITOR"}, {"PASSWD", "Sec ret"}}));
  EXPECT_EQ(EntryParameters(Request("R/2")).refusal, "Mode R/2 needs the classic RFC library");
  EXPECT_TRUE(EntryParameters(Request("r/2")).refusal.empty());  // only the exact text means the gateway
}

TEST(NwLogon, FromTheParameterFile) {
  const std::string file =
      "DEST=QAS\nTYPE=A\nASHOST=sapqas01\nSYSNR=10\n"
      "  dest = prd \r\ntype=B\nMSHOST = sapms01\nR3NAME=PRD\nGROUP=PUBLIC\nASHOST=ignored\n"
      "DEST=GW\nTYPE=R\nGWHOST=gw\n"
      "DEST=ODD\nTYPE=X\n"
      "no equals sign\n";
  std::vector<NwDestination> destinations = Parse(file);
  ASSERT_EQ(destinations.size(), 4u);
  EXPECT_EQ(destinations[1].name, "prd");
  EXPECT_EQ(destinations[1].Value("MSHOST"), "sapms01");

  struct Row {
    const char* destination;
    Values values;
    const char* refusal;
  } rows[] = {
      {"PRD",
       {{"MSHOST", "sapms01"},
        {"SYSID", "PRD"},
        {"GROUP", "PUBLIC"},
        {"CLIENT", "100"},
        {"USER", "MONITOR"},
        {"PASSWD", "Sec ret"},
        {"LANG", "D"}},
       ""},
      {"QAS",
       {{"ASHOST", "sapqas01"},
        {"SYSNR", "10"},
        {"CLIENT", "100"},
        {"USER", "MONITOR"},
        {"PASSWD", "Sec ret"},
        {"LANG", "D"}},
       ""},
      {"GW", {}, "SapRfc.X: TYPE=R needs the classic RFC library"},
      {"ODD", {}, "SapRfc.X: DEST=ODD needs TYPE=A or TYPE=B"},
      {"NONE", {}, "SapRfc.X has no entry DEST=NONE"},
  };
  for (const Row& row : rows) {
    LogonRequest request = Request();
    request.entry.destination = row.destination;
    request.hostOverride = "not used through the file";
    NwLogonParameters p = FileParameters(request, "SapRfc.X", destinations);
    EXPECT_EQ(p.values, row.values) << row.destination;
    EXPECT_EQ(p.refusal, row.refusal) << row.destination;
  }
  EXPECT_EQ(FileParameters(Request(), "SapRfc.PRD", {}).refusal, "SapRfc.PRD has no entry DEST=PRD");
}

}  // namespace
}  // namespace fennick
