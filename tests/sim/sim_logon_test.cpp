#include "sim_logon.h"

#include <gtest/gtest.h>

namespace rfcsim {
namespace {

const char kSapRfcIni[] =
    "DEST=PRD\r\n"
    "TYPE=A\r\n"
    "ASHOST=sapprd01\r\n"
    "SYSNR=07\r\n"
    "\r\n"
    "  DEST = R2SYS  \n"
    "TYPE=R\n"
    "GWHOST=gw01\n"
    "GWSERV=sapgw00\n"
    "DEST=BADNR\n"
    "TYPE=A\n"
    "ASHOST=h\n"
    "SYSNR=x\n"
    "DEST=NOTYPE\n"
    "ASHOST=h\n"
    "SYSNR=0\n";

TEST(SimLogon, ConnectStringFindsItsDestination) {
  struct Row {
    const char* connect;
    LogonRequest::Route route;
    const char* host;
    int32_t sysnr;
    const char* gwhost;
    const char* gwserv;
  } rows[] = {
      {"CLIENT=100 USER=MONITOR PASSWD=pw LANG=D DEST=PRD", LogonRequest::Host, "sapprd01", 7, "", ""},
      {"DEST=prd", LogonRequest::Host, "sapprd01", 7, "", ""},
      {"DEST=R2SYS", LogonRequest::Gateway, "", 0, "gw01", "sapgw00"},
      {"DEST=BADNR", LogonRequest::None, "", 0, "", ""},
      {"DEST=NOTYPE", LogonRequest::None, "", 0, "", ""},
      {"DEST=OTHER", LogonRequest::None, "", 0, "", ""},
      {"CLIENT=100 USER=MONITOR", LogonRequest::None, "", 0, "", ""},
      {"", LogonRequest::None, "", 0, "", ""},
  };
  for (const Row& row : rows) {
    LogonRequest request = RequestFromConnectString(row.connect, kSapRfcIni);
    EXPECT_EQ(request.route, row.route) << row.connect;
    EXPECT_EQ(request.host, row.host) << row.connect;
    EXPECT_EQ(request.sysnr, row.sysnr) << row.connect;
    EXPECT_EQ(request.gwhost, row.gwhost) << row.connect;
    EXPECT_EQ(request.gwserv, row.gwserv) << row.connect;
  }
}

TEST(SimLogon, ConnectStringAsTheLibraryReadsIt) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  struct Row {
    const char* connect;
    Pairs pairs;
  } rows[] = {
      {"CLIENT=100 USER=MONITOR", {{"CLIENT", "100"}, {"USER", "MONITOR"}}},
      {"  passwd=a=b\tlang=D  ", {{"passwd", "a=b"}, {"lang", "D"}}},
      {"PASSWD=\"Sec ret 1\" LANG=D", {{"PASSWD", "Sec ret 1"}, {"LANG", "D"}}},
      {"PASSWD=\"\" USER=\"a\"b c=d", {{"PASSWD", ""}, {"USER", "a"}, {"c", "d"}}},
      {"USER=\"open to the end", {{"USER", "open to the end"}}},
      {"PASSWD=Sec ret LANG=D", {{"PASSWD", "Sec"}, {"LANG", "D"}}},  // "ret" has no "=": ignored
      {"word another USER=", {{"USER", ""}}},
      {"=x Y=\"1\"", {{"", "x"}, {"Y", "1"}}},
      {"", {}},
  };
  for (const Row& row : rows) {
    Pairs pairs;
    for (const ConnectPair& pair : ParseConnectString(row.connect)) pairs.emplace_back(pair.id, pair.value);
    EXPECT_EQ(pairs, row.pairs) << row.connect;
  }
}

TEST(SimLogon, ConnectStringCredentialsAndToUpper) {
  struct Row {
    const char* connect;
    const char* client;
    const char* user;
    const char* password;
  } rows[] = {
      // TOUPPER defaults to 1: user and password go upper-cased.
      {"CLIENT=100 USER=monitor PASSWD=Secret1 LANG=D DEST=PRD", "100", "MONITOR", "SECRET1"},
      {"client=100 user=monitor passwd=Secret1 toupper=0", "100", "monitor", "Secret1"},
      {"USER=mon PASSWD=\"Sec ret 1\" TOUPPER=0", "", "mon", "Sec ret 1"},
      {"USER=mon PASSWD=Sec ret 1 TOUPPER=0", "", "mon", "Sec"},
      {"PASSWD=a=b TOUPPER=1", "", "", "A=B"},
      {"PASSWD=a TOUPPER=0 TOUPPER=X", "", "", "A"},  // the last one given counts
  };
  for (const Row& row : rows) {
    LogonRequest request = RequestFromConnectString(row.connect, "");
    EXPECT_EQ(request.route, LogonRequest::None) << row.connect;
    EXPECT_EQ(request.client, row.client) << row.connect;
    EXPECT_EQ(request.user, row.user) << row.connect;
    EXPECT_EQ(request.password, row.password) << row.connect;
  }
}

TEST(SimLogon, Credentials) {
  SystemConfig system;
  system.client = "100";
  system.user = "MONITOR";
  system.passwd = "Secret1";
  struct Row {
    const char* client;
    const char* user;
    const char* password;
    bool match;
  } rows[] = {
      {"100", "MONITOR     ", "Secret1   ", true},  // padded as RfcOpen pads
      {"100", "monitor", "Secret1", true},
      {"100", "MONITOR", "secret1", false},
      {"100", "MONITOR", " Secret1", false},
      {"100 ", "MONITOR", "Secret1", false},
      {"200", "MONITOR", "Secret1", false},
      {"100", "MONITOR2", "Secret1", false},
      {"", "", "", false},
  };
  for (const Row& row : rows) {
    LogonRequest request;
    request.client = row.client;
    request.user = row.user;
    request.password = row.password;
    EXPECT_EQ(CredentialsMatch(system, request), row.match) << row.client << "/" << row.user << "/" << row.password;
  }
}

TEST(SimLogon, FirstSystemTheRouteReaches) {
  ConfigResult parsed = ParseSimConfig(
      "[NOHOST]\nsysnr = 0\n"
      "[NONR]\nashost = h\n"
      "[A]\nashost = H\nsysnr = 00\ngwhost = gw\ngwserv = S1\n"
      "[B]\nashost = h\nsysnr = 0\n");
  ASSERT_TRUE(parsed.ok);
  LogonRequest host;
  host.route = LogonRequest::Host;
  host.host = "h";
  const SystemConfig* found = FindSystem(parsed.config, host);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->sid, "A");
  host.sysnr = 1;
  EXPECT_EQ(FindSystem(parsed.config, host), nullptr);

  LogonRequest gateway;
  gateway.route = LogonRequest::Gateway;
  gateway.gwhost = "GW";
  gateway.gwserv = "S1";
  ASSERT_NE(FindSystem(parsed.config, gateway), nullptr);
  gateway.gwserv = "s1";  // the service is compared exactly
  EXPECT_EQ(FindSystem(parsed.config, gateway), nullptr);

  EXPECT_EQ(FindSystem(parsed.config, LogonRequest()), nullptr);
}

// The NetWeaver library's routes: SYSNR as text, or a message server and
// the section name.
TEST(SimLogon, NetWeaverRoutesReachTheFirstSystem) {
  ConfigResult parsed = ParseSimConfig(
      "[NOMS]\nashost = app1\nsysnr = 7\n"
      "[PRD]\nashost = App1\nsysnr = 0\nmshost = msprd\n"
      "[QAS]\nashost = app2\nsysnr = 10\nmshost = MSPRD\n"
      "[prd]\nashost = app3\nsysnr = 0\nmshost = msprd\n");
  ASSERT_TRUE(parsed.ok);
  struct Row {
    LogonRequest request;
    const char* sid;  // null: nothing reached
  } rows[] = {
      {HostRequest("APP1", "00"), "PRD"},
      {HostRequest("app1", "0"), "PRD"},
      {HostRequest("app1", "+0"), "PRD"},
      {HostRequest("app1", "07"), "NOMS"},
      {HostRequest("app2", "10"), "QAS"},
      {HostRequest("app1", "1"), nullptr},
      {HostRequest("app1", " 00"), nullptr},
      {HostRequest("app1", "0x"), nullptr},
      {HostRequest("app1", ""), nullptr},
      {HostRequest("", "00"), nullptr},
      {MessageServerRequest("MsPrd", "prd"), "PRD"},  // the first [PRD] or [prd] in file order
      {MessageServerRequest("msprd", "QAS"), "QAS"},
      {MessageServerRequest("msprd", "NOMS"), nullptr},
      {MessageServerRequest("msprd", ""), nullptr},
      {MessageServerRequest("", "PRD"), nullptr},
      {MessageServerRequest("app1", "PRD"), nullptr},
  };
  RouteIndex index = BuildRouteIndex(parsed.config);
  for (const Row& row : rows) {
    const SystemConfig* found = FindSystem(parsed.config, index, row.request);
    std::string label = row.request.host + row.request.mshost + "/" + row.request.sysid;
    if (!row.sid) {
      EXPECT_EQ(found, nullptr) << label;
    } else {
      ASSERT_NE(found, nullptr) << label;
      EXPECT_EQ(found->sid, row.sid) << label;
    }
  }
}

}  // namespace
}  // namespace rfcsim
