// Opening connections and invoking functions through the NetWeaver stand-in:
// routes, sign-on, unreachable partners and the injected faults.
#include <chrono>

#include "nw_test_support.h"

namespace nwtest {
namespace {

const char kLandscape[] =
    "[PRD]\n"
    "ashost = sapprd01\n"
    "sysnr  = 00\n"
    "mshost = msprd\n"
    "client = 100\n"
    "user   = MONITOR\n"
    "passwd = Secret1\n"
    "[QAS]\n"
    "ashost = sapqas01\n"
    "sysnr  = 10\n"
    "client = 200\n"
    "user   = MONITOR\n"
    "passwd = Secret2\n"
    "fault  = logon\n"
    "[DEV]\n"
    "ashost = sapdev01\n"
    "sysnr  = 20\n"
    "client = 300\n"
    "user   = MONITOR\n"
    "passwd = Secret3\n"
    "lasterror = RFC_ERROR_LOGON_FAILURE|E|User is locked|LOGON 1\n";

const char kRefused[] = "Name or password is incorrect (repeat logon)";
const char kLocal[] = "LOCATION    CPIC (TCP/IP) on local host\n";

std::vector<Param> Prd(const std::string& password = "Secret1") {
  return {{"ASHOST", "sapprd01"}, {"SYSNR", "00"}, {"CLIENT", "100"}, {"USER", "MONITOR"}, {"PASSWD", password},
          {"LANG", "E"}};
}

using NwOpen = NwTest;

TEST_F(NwOpen, RoutesSignOnAndUnreachedPartners) {
  Write(kLandscape);
  struct Row {
    std::vector<Param> params;
    int code;  // 0: a connection
    int group;
    const char* key;
    std::string message;
  } rows[] = {
      {Prd(), 0, 0, "", ""},
      {{{"ashost", "SAPPRD01"}, {"sysnr", "0"}, {"client", "100"}, {"user", "monitor"}, {"passwd", "Secret1  "},
        {"TRACE", "1"}, {"SAPROUTER", ""}, {"ZZZ", "ignored"}},
       0, 0, "", ""},
      {{{"MSHOST", "MsPrd"}, {"SYSID", "prd"}, {"GROUP", "PUBLIC"}, {"CLIENT", "100"}, {"USER", "MONITOR"},
        {"PASSWD", "Secret1"}},
       0, 0, "", ""},
      // The last of two equal names counts.
      {{{"ASHOST", "nowhere"}, {"ASHOST", "sapprd01"}, {"SYSNR", "00"}, {"CLIENT", "100"}, {"USER", "MONITOR"},
        {"PASSWD", "Secret1"}},
       0, 0, "", ""},
      {Prd("SECRET1"), 2, 3, "RFC_LOGON_FAILURE", kRefused},
      {{{"ASHOST", "sapprd01"}, {"SYSNR", "00"}, {"CLIENT", "101"}, {"USER", "MONITOR"}, {"PASSWD", "Secret1"}},
       2, 3, "RFC_LOGON_FAILURE", kRefused},
      {{{"ASHOST", "sapqas01"}, {"SYSNR", "10"}, {"CLIENT", "200"}, {"USER", "MONITOR"}, {"PASSWD", "Secret2"}},
       2, 3, "RFC_LOGON_FAILURE", kRefused},
      {{{"ASHOST", "sapdev01"}, {"SYSNR", "20"}, {"CLIENT", "300"}, {"USER", "MONITOR"}, {"PASSWD", "wrong"}},
       2, 3, "RFC_LOGON_FAILURE", "User is locked"},
      {{{"ASHOST", "sapprd01"}, {"SYSNR", "01"}}, 1, 4, "RFC_COMMUNICATION_FAILURE",
       std::string(kLocal) + "ERROR       partner 'sapprd01:3301' not reached"},
      {{{"ASHOST", "SapPrd01"}, {"SYSNR", "x0"}}, 1, 4, "RFC_COMMUNICATION_FAILURE",
       std::string(kLocal) + "ERROR       partner 'SapPrd01:33x0' not reached"},
      {{{"MSHOST", "msprd"}, {"SYSID", "QAS"}}, 1, 4, "RFC_COMMUNICATION_FAILURE",
       std::string(kLocal) + "ERROR       partner 'msprd:sapmsQAS' not reached"},
      {{{"MSHOST", "msqas"}, {"MSSERV", "3610"}, {"SYSID", "QAS"}}, 1, 4, "RFC_COMMUNICATION_FAILURE",
       std::string(kLocal) + "ERROR       partner 'msqas:3610' not reached"},
      {{{"CLIENT", "100"}, {"SYSNR", "00"}}, 20, 5, "RFC_INVALID_PARAMETER", "Parameter ASHOST or MSHOST is missing"},
  };
  for (const Row& row : rows) {
    std::string label = row.params.empty() ? "" : row.params[0].value + " / " + row.message;
    NwErrorInfo error = Dirty();
    NwConnection connection = Open(row.params, &error);
    if (row.code == 0) {
      ASSERT_NE(connection, nullptr) << label << ": " << Text(error.message);
      ExpectOk(error);
      EXPECT_EQ(RfcCloseConnection(connection, nullptr), NW_OK);
      continue;
    }
    EXPECT_EQ(connection, nullptr) << label;
    EXPECT_EQ(error.code, row.code) << label;
    EXPECT_EQ(error.group, row.group) << label;
    EXPECT_EQ(Text(error.key), row.key) << label;
    EXPECT_EQ(Text(error.message), row.message) << label;
  }
}

TEST_F(NwOpen, NoLandscapeOrAMalformedOne) {
  NwErrorInfo error = Dirty();
  EXPECT_EQ(Open(Prd(), &error), nullptr);
  EXPECT_EQ(error.code, NW_COMMUNICATION_FAILURE);
  EXPECT_EQ(error.group, NW_GROUP_COMMUNICATION);
  EXPECT_EQ(Text(error.message), std::string(kLocal) + "ERROR       partner 'sapprd01:3300' not reached");

  std::string text = kLandscape;
  text.replace(text.find("ashost = sapprd01"), 6, "ashots");
  Write(text);
  EXPECT_EQ(Open(Prd(), &error), nullptr);
  EXPECT_EQ(error.code, NW_COMMUNICATION_FAILURE);
  EXPECT_EQ(Text(error.key), "RFC_COMMUNICATION_FAILURE");
  EXPECT_EQ(Text(error.message), std::string(kLocal) + "ERROR       sapsim.ini line 2: unknown key 'ashots'");

  // Read afresh at every open.
  Write(kLandscape);
  NwConnection connection = Open(Prd(), &error);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK);
}

// The faults of sapsim.ini, mapped onto the codes that give the classic
// road's error numbers.
TEST_F(NwOpen, InjectedFaultsAtInvoke) {
  const std::string broken =
      "LOCATION    SAP-Server h_F_03 on host h\nERROR       connection to partner broken";
  struct Row {
    const char* faults;
    int code;
    int group;
    const char* key;
    std::string message;
    bool closes;
  } rows[] = {
      {"fault = call RFC_SYSTEM_INFO 1", 1, 4, "RFC_COMMUNICATION_FAILURE", broken, true},
      {"fault = receive RFC_SYSTEM_INFO 1", 1, 4, "RFC_COMMUNICATION_FAILURE", broken, true},
      {"fault = receive RFC_SYSTEM_INFO 2 NOT_AUTHORIZED", 5, 1, "NOT_AUTHORIZED", "NOT_AUTHORIZED", false},
      {"fault = receive RFC_SYSTEM_INFO 3 DUMPED", 3, 2, "DUMPED",
       "ERROR       RFC_SYSTEM_INFO raised a system failure", true},
      {"fault = receive RFC_SYSTEM_INFO 3", 3, 2, "SYSTEM_FAILURE",
       "ERROR       RFC_SYSTEM_INFO raised a system failure", true},
      {"fault = call RFC_SYSTEM_INFO 2", 28, 5, "RFC_UNKNOWN_ERROR", "ERROR       RFC_SYSTEM_INFO returned 2", false},
      {"fault = call RFC_SYSTEM_INFO 3", 28, 5, "RFC_UNKNOWN_ERROR", "ERROR       RFC_SYSTEM_INFO returned 3", false},
      {"fault = receive RFC_SYSTEM_INFO -4 X", 28, 5, "RFC_UNKNOWN_ERROR", "ERROR       RFC_SYSTEM_INFO returned -4",
       false},
      // The call fault comes first; code 0 lets the call on to the receive fault.
      {"fault = call RFC_SYSTEM_INFO 2\nfault = receive RFC_SYSTEM_INFO 1", 28, 5, "RFC_UNKNOWN_ERROR",
       "ERROR       RFC_SYSTEM_INFO returned 2", false},
      {"fault = call RFC_SYSTEM_INFO 0\nfault = receive RFC_SYSTEM_INFO 2 E", 5, 1, "E", "E", false},
      {"fault = call RFC_SYSTEM_INFO 0", 0, 0, "", "", false},
      {"fault = receive DB_ORA_CURRENT_SIZES 1\nfault = call rfc_system_info 1", 0, 0, "", "", false},
      // Faults of the classic library only.
      {"fault = handler RfcReceive\nfault = install RFCSI\nfault = itcreate\nfault = itgetline\nfault = itdelete", 0,
       0, "", "", false},
      {"fault = receive RFC_SYSTEM_INFO 2 NOT_AUTHORIZED\nlasterror = K|E|Not allowed here|X", 5, 1,
       "NOT_AUTHORIZED", "Not allowed here", false},
      {"fault = call RFC_SYSTEM_INFO 1\nlasterror = K|E|Connection reset by peer|X", 1, 4,
       "RFC_COMMUNICATION_FAILURE", "Connection reset by peer", true},
  };
  for (const Row& row : rows) {
    Write(std::string("[F]\nashost = h\nsysnr = 3\n") + row.faults + "\n");
    NwErrorInfo error = Dirty();
    NwConnection connection = Open({{"ASHOST", "h"}, {"SYSNR", "03"}}, &error);
    ASSERT_NE(connection, nullptr) << row.faults;
    NwFunctionDesc description = RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), &error);
    ASSERT_NE(description, nullptr) << row.faults;
    NwFunction function = RfcCreateFunction(description, &error);
    ASSERT_NE(function, nullptr) << row.faults;

    error = Dirty();
    EXPECT_EQ(RfcInvoke(connection, function, &error), row.code) << row.faults;
    EXPECT_EQ(error.code, row.code) << row.faults;
    EXPECT_EQ(error.group, row.group) << row.faults;
    EXPECT_EQ(Text(error.key), row.key) << row.faults;
    EXPECT_EQ(Text(error.message), row.message) << row.faults;

    // A broken connection takes no more calls, but its handle is closed as usual.
    EXPECT_EQ(RfcInvoke(connection, function, nullptr), row.closes ? NW_INVALID_HANDLE : row.code) << row.faults;
    EXPECT_EQ(RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), nullptr) == nullptr, row.closes);
    EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK) << row.faults;
    EXPECT_EQ(RfcCloseConnection(connection, &error), NW_INVALID_HANDLE) << row.faults;
    EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
  }
}

TEST_F(NwOpen, UnknownFunctionsAndCachedDescriptions) {
  Write(kLandscape);
  NwErrorInfo error = Dirty();
  NwConnection connection = Open(Prd(), &error);
  ASSERT_NE(connection, nullptr);
  for (const char* name : {"Z_OTHER", "rfc_system_info", ""}) {
    error = Dirty();
    EXPECT_EQ(RfcGetFunctionDesc(connection, U(name).data(), &error), nullptr) << name;
    EXPECT_EQ(error.code, NW_ABAP_EXCEPTION);
    EXPECT_EQ(error.group, NW_GROUP_ABAP_APPLICATION);
    EXPECT_EQ(Text(error.key), "FU_NOT_FOUND");
    EXPECT_EQ(Text(error.message), std::string("ID:FL Type:E Number:046 ") + name);
    EXPECT_EQ(Text(error.abapMsgNumber, 4), "046");
    EXPECT_EQ(Text(error.abapMsgV1), name);
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
  EXPECT_NE(RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), &error), first);
  // Descriptions outlive the connection.
  EXPECT_EQ(RfcCloseConnection(connection, &error), NW_OK);
  NwFunction function = RfcCreateFunction(first, &error);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

TEST_F(NwOpen, EveryRemoteStepWaitsTheDelay) {
  Write("[SLOW]\nashost = slow\nsysnr = 1\ndelay_ms = 40\n");
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&start] {
    auto now = std::chrono::steady_clock::now();
    auto waited = now - start;
    start = now;
    return waited;
  };
  NwErrorInfo error;
  NwConnection connection = Open({{"ASHOST", "slow"}, {"SYSNR", "1"}}, &error);
  ASSERT_NE(connection, nullptr);
  EXPECT_GE(elapsed(), std::chrono::milliseconds(40));
  NwFunctionDesc description = RfcGetFunctionDesc(connection, U("RFC_SYSTEM_INFO").data(), &error);
  EXPECT_GE(elapsed(), std::chrono::milliseconds(40));
  NwFunction function = RfcCreateFunction(description, &error);
  EXPECT_EQ(RfcInvoke(connection, function, &error), NW_OK);
  EXPECT_GE(elapsed(), std::chrono::milliseconds(40));
  RfcDestroyFunction(function, nullptr);
  RfcCloseConnection(connection, nullptr);
}

}  // namespace
}  // namespace nwtest
