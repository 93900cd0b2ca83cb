// Opening connections and invoking functions through the NetWeaver stand-in:
// routes, sign-on, unreachable partners and the injected faults.
#include <chrono>

#include "nw_test_support.h"

namespace nwtest {
namespace {

const char kLandscape[] =
    "[PRD]\nashost = sapprd01\nsysnr = 00\nmshost = msprd\nclient = 100\nuser = MONITOR\npasswd = Secret1\n"
    "[QAS]\nashost = sapqas01\nsysnr = 10\nclient = 200\nuser = MONITOR\npasswd = Secret2\nfault = logon\n"
    "[DEV]\nashost = sapdev01\nsysnr = 20\nclient = 300\n"
    "lasterror = RFC_ERROR_LOGON_FAILURE|E|User is locked|LOGON 1\n";

const char kPrd[] = "ASHOST=sapprd01 SYSNR=00 CLIENT=100 USER=MONITOR PASSWD=Secret1 LANG=E";
const char kRefused[] = "Name or password is incorrect (repeat logon)";
const std::string kUnreached = "LOCATION    CPIC (TCP/IP) on local host\nERROR       partner '";

struct Expected {
  int code;
  int group;
  const char* key;
  std::string message;
};

void ExpectError(const NwErrorInfo& error, const Expected& expected, const std::string& label) {
  EXPECT_EQ(error.code, expected.code) << label;
  EXPECT_EQ(error.group, expected.group) << label;
  EXPECT_EQ(Text(error.key), expected.key) << label;
  EXPECT_EQ(Text(error.message), expected.message) << label;
}

using NwOpen = NwTest;

TEST_F(NwOpen, RoutesSignOnAndUnreachedPartners) {
  Write(kLandscape);
  const char* kComm = "RFC_COMMUNICATION_FAILURE";
  struct Row {
    const char* params;
    Expected expected;  // code 0: a connection
  } rows[] = {
      {kPrd, {0, 0, "", ""}},
      // Names in any case, unknown ones ignored; of two equal names the last counts.
      {"ashost=x ashost=SAPPRD01 sysnr=0 client=100 user=monitor passwd=Secret1 TRACE=1 ZZZ=1", {0, 0, "", ""}},
      {"MSHOST=MsPrd SYSID=prd GROUP=PUBLIC CLIENT=100 USER=MONITOR PASSWD=Secret1", {0, 0, "", ""}},
      {"ASHOST=sapprd01 SYSNR=00 CLIENT=100 USER=MONITOR PASSWD=SECRET1", {2, 3, "RFC_LOGON_FAILURE", kRefused}},
      {"ASHOST=sapqas01 SYSNR=10 CLIENT=200 USER=MONITOR PASSWD=Secret2", {2, 3, "RFC_LOGON_FAILURE", kRefused}},
      {"ASHOST=sapdev01 SYSNR=20 CLIENT=300 PASSWD=x", {2, 3, "RFC_LOGON_FAILURE", "User is locked"}},
      {"ASHOST=sapprd01 SYSNR=01", {1, 4, kComm, kUnreached + "sapprd01:3301' not reached"}},
      {"ASHOST=SapPrd01 SYSNR=x0", {1, 4, kComm, kUnreached + "SapPrd01:33x0' not reached"}},
      {"MSHOST=msprd SYSID=QAS", {1, 4, kComm, kUnreached + "msprd:sapmsQAS' not reached"}},
      {"MSHOST=msqas MSSERV=3610 SYSID=QAS", {1, 4, kComm, kUnreached + "msqas:3610' not reached"}},
      {"CLIENT=100 SYSNR=00", {20, 5, "RFC_INVALID_PARAMETER", "Parameter ASHOST or MSHOST is missing"}},
  };
  for (const Row& row : rows) {
    NwErrorInfo error = Dirty();
    NwConnection connection = Open(P(row.params), &error);
    ExpectError(error, row.expected, row.params);
    EXPECT_EQ(connection != nullptr, row.expected.code == 0) << row.params;
    if (connection) {
      EXPECT_EQ(RfcCloseConnection(connection, nullptr), NW_OK);
    }
  }
}

TEST_F(NwOpen, NoLandscapeOrAMalformedOne) {
  NwErrorInfo error = Dirty();
  EXPECT_EQ(Open(P(kPrd), &error), nullptr);
  ExpectError(error, {1, 4, "RFC_COMMUNICATION_FAILURE", kUnreached + "sapprd01:3300' not reached"}, "no file");

  std::string text = kLandscape;
  text.replace(text.find("ashost = sapprd01"), 6, "ashots");
  Write(text);
  EXPECT_EQ(Open(P(kPrd), &error), nullptr);
  ExpectError(error,
              {1, 4, "RFC_COMMUNICATION_FAILURE",
               "LOCATION    CPIC (TCP/IP) on local host\nERROR       sapsim.ini line 2: unknown key 'ashots'"},
              "malformed");

  Write(kLandscape);  // read afresh at every open
  NwConnection connection = Open(P(kPrd), &error);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK);
}

// The faults of sapsim.ini, mapped onto the codes that give the classic
// road's error numbers.
TEST_F(NwOpen, InjectedFaultsAtInvoke) {
  const char* kUnknown = "RFC_UNKNOWN_ERROR";
  const char* kComm = "RFC_COMMUNICATION_FAILURE";
  const std::string returned2 = "ERROR       RFC_SYSTEM_INFO returned 2";
  const std::string broken = "LOCATION    SAP-Server h_F_03 on host h\nERROR       connection to partner broken";
  const std::string dumped = "ERROR       RFC_SYSTEM_INFO raised a system failure";
  struct Row {
    const char* faults;
    Expected expected;
    bool closes;
  } rows[] = {
      {"call RFC_SYSTEM_INFO 1", {1, 4, kComm, broken}, true},
      {"receive RFC_SYSTEM_INFO 1", {1, 4, kComm, broken}, true},
      {"receive RFC_SYSTEM_INFO 2 NOT_AUTHORIZED", {5, 1, "NOT_AUTHORIZED", "NOT_AUTHORIZED"}, false},
      {"receive RFC_SYSTEM_INFO 3 DUMPED", {3, 2, "DUMPED", dumped}, true},
      {"receive RFC_SYSTEM_INFO 3", {3, 2, "SYSTEM_FAILURE", dumped}, true},
      {"call RFC_SYSTEM_INFO 2", {28, 5, kUnknown, returned2}, false},
      {"call RFC_SYSTEM_INFO 3", {28, 5, kUnknown, "ERROR       RFC_SYSTEM_INFO returned 3"}, false},
      {"receive RFC_SYSTEM_INFO -4 X", {28, 5, kUnknown, "ERROR       RFC_SYSTEM_INFO returned -4"}, false},
      // The call fault comes first; code 0 lets the call on to the receive fault.
      {"call RFC_SYSTEM_INFO 2\nfault = receive RFC_SYSTEM_INFO 1", {28, 5, kUnknown, returned2}, false},
      {"call RFC_SYSTEM_INFO 0\nfault = receive RFC_SYSTEM_INFO 2 E", {5, 1, "E", "E"}, false},
      {"call RFC_SYSTEM_INFO 0\nfault = receive DB_ORA_CURRENT_SIZES 1\nfault = call rfc_system_info 1",
       {0, 0, "", ""},
       false},
      // Faults of the classic library only.
      {"handler RfcReceive\nfault = install RFCSI\nfault = itcreate\nfault = itgetline\nfault = itdelete",
       {0, 0, "", ""},
       false},
      {"receive RFC_SYSTEM_INFO 2 NOT_AUTHORIZED\nlasterror = K|E|Not allowed|X",
       {5, 1, "NOT_AUTHORIZED", "Not allowed"},
       false},
      {"call RFC_SYSTEM_INFO 1\nlasterror = K|E|Reset by peer|X", {1, 4, kComm, "Reset by peer"}, true},
  };
  for (const Row& row : rows) {
    Write(std::string("[F]\nashost = h\nsysnr = 3\nfault = ") + row.faults + "\n");
    NwErrorInfo error = Dirty();
    NwConnection connection = Open(P("ASHOST=h SYSNR=03"), &error);
    ASSERT_NE(connection, nullptr) << row.faults;
    NwFunctionDesc description = RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), &error);
    NwFunction function = RfcCreateFunction(description, &error);
    ASSERT_NE(function, nullptr) << row.faults;
    error = Dirty();
    EXPECT_EQ(RfcInvoke(connection, function, &error), row.expected.code) << row.faults;
    ExpectError(error, row.expected, row.faults);

    // A broken connection takes no more calls, but its handle is closed as usual.
    EXPECT_EQ(RfcInvoke(connection, function, nullptr), row.closes ? NW_INVALID_HANDLE : row.expected.code);
    EXPECT_EQ(RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), nullptr) == nullptr, row.closes);
    EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK) << row.faults;
    EXPECT_EQ(RfcCloseConnection(connection, &error), NW_INVALID_HANDLE) << row.faults;
    EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
  }
}

TEST_F(NwOpen, UnknownFunctionsAndCachedDescriptions) {
  Write(kLandscape);
  NwErrorInfo error = Dirty();
  NwConnection connection = Open(P(kPrd), &error);
  ASSERT_NE(connection, nullptr);
  for (const char* name : {"Z_OTHER", "rfc_system_info", ""}) {
    EXPECT_EQ(RfcGetFunctionDesc(connection, U(name).data(), &error), nullptr) << name;
    ExpectError(error, {5, 1, "FU_NOT_FOUND", std::string("ID:FL Type:E Number:046 ") + name}, name);
    EXPECT_EQ(Text(error.abapMsgNumber, 4) + Text(error.abapMsgV1), std::string("046") + name);
  }
  // A name too long for the record is cut, still terminated; a unit beyond
  // 0xFF reaches the landscape as "?".
  std::vector<NwChar> name = U(std::string(600, 'Z'));
  name[1] = 0x20AC;
  EXPECT_EQ(RfcGetFunctionDesc(connection, name.data(), &error), nullptr);
  EXPECT_EQ(Text(error.message), "ID:FL Type:E Number:046 Z?" + std::string(511 - 26, 'Z'));
  EXPECT_EQ(Text(error.abapMsgV1), "Z?" + std::string(48, 'Z'));

  NwFunctionDesc first = RfcGetFunctionDesc(connection, U("DB_ORA_CURRENT_SIZES").data(), &error);
  ASSERT_NE(first, nullptr);
  ExpectOk(error);
  EXPECT_EQ(RfcGetFunctionDesc(connection, U("DB_ORA_CURRENT_SIZES").data(), &error), first);
  // Descriptions outlive the connection.
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK);
  NwFunction function = RfcCreateFunction(first, &error);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

TEST_F(NwOpen, EveryRemoteStepAndTheCloseWaitTheirDelays) {
  Write("[SLOW]\nashost = slow\nsysnr = 1\ndelay_ms = 40\nclose_delay_ms = 150\n");
  NwErrorInfo error;
  auto start = std::chrono::steady_clock::now();
  NwConnection connection = Open(P("ASHOST=slow SYSNR=1"), &error);
  NwFunction function = RfcCreateFunction(RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), &error), &error);
  EXPECT_EQ(RfcInvoke(connection, function, &error), NW_OK);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3 * 40));
  RfcDestroyFunction(function, nullptr);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_INVALID_HANDLE);
}

}  // namespace
}  // namespace nwtest
