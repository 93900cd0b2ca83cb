#include "sim_exports.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "sim_text.h"

namespace rfcsim {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> g_handlerCalls;
bool g_handlerClosesAll = false;

void RFC_CALLCONV RecordingHandler(char* operation) {
  g_handlerCalls.push_back(operation ? operation : "(null)");
  if (g_handlerClosesAll) RfcClose(0);
}

const char kLandscape[] =
    "# test landscape\n"
    "[PRD]\n"
    "ashost     = sapprd01\n"
    "sysnr      = 00\n"
    "gwhost     = gwprd\n"
    "gwserv     = sapgw00\n"
    "client     = 100\n"
    "user       = MONITOR\n"
    "passwd     = Secret1\n"
    "tablespace = PSAPSR3     52428800  10485760  80\n"
    "tablespace = PSAPUNDO     4096000   3891200   5\n"
    "tablespace = BROKEN      xFFFFFFFFFFFFFFFF        -1  95\n"
    "\n"
    "[QAS]\n"
    "ashost     = sapqas01\n"
    "sysnr      = 10\n"
    "client     = 200\n"
    "user       = MONITOR\n"
    "passwd     = Secret2\n"
    "fault      = logon\n"
    "trace      = **** ERROR file opened at 20261208 101500 UTC, SAP-REL 640,0,0 RFC-VER 3\n"
    "trace      = ERROR       Name or password is incorrect. Please re-enter\n"
    "lasterror  = RFC_ERROR_LOGON_FAILURE|E|Name or password is incorrect. Please re-enter|LOGON 1\n"
    "\n"
    "[DEV]\n"
    "ashost     = sapdev01\n"
    "sysnr      = 20\n"
    "client     = 300\n"
    "user       = MONITOR\n"
    "passwd     = Secret3\n"
    "dbsys      = MSSQL\n"
    "fault      = call RFC_SYSTEM_INFO 3\n"
    "fault      = receive DB_ORA_CURRENT_SIZES 2 NOT_AUTHORIZED\n"
    "fault      = handler RfcReceive\n"
    "fault      = install TABLE_XPC\n"
    "fault      = itcreate\n"
    "fault      = itgetline\n"
    "delay_ms   = 60\n";

RfcTypeElement Field(const char* name, unsigned type, unsigned length) {
  return RfcTypeElement{const_cast<char*>(name), type, length, 0, 0};
}

class SimCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "rfcsim-XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
    fs::current_path(dir_);
    g_handlerCalls.clear();
    g_handlerClosesAll = false;
    RfcEnvironmentRecord environment{RecordingHandler, nullptr};
    RfcEnvironment(&environment);
  }

  void TearDown() override {
    RfcClose(0);
    unsetenv("RFC_INI");
    RfcEnvironmentRecord none{nullptr, nullptr};
    RfcEnvironment(&none);
    fs::current_path(home_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  static void Write(const char* name, const std::string& text) {
    std::FILE* file = std::fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  static std::vector<std::string> TraceLines() {
    std::string text;
    if (!ReadWholeFile("Dev_Rfc.Trc", text)) return {};
    return SplitLines(text);
  }

  static RfcErrorInfo LastError() {
    RfcErrorInfo info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_EQ(RfcLastError(&info), 0);
    return info;
  }

  // As the program pads them: user to 12, password to 10 characters.
  RFC_HANDLE OpenHost(const char* host, int sysnr, std::string client, std::string user, std::string password) {
    client_ = client;
    user_ = user + std::string(user.size() < 12 ? 12 - user.size() : 0, ' ');
    password_ = password + std::string(password.size() < 10 ? 10 - password.size() : 0, ' ');
    host_ = host ? host : "";
    RfcHostOptions hostOptions{host ? &host_[0] : nullptr, sysnr, nullptr, nullptr};
    RfcLogonOptions options{nullptr, RFC_LOGON_HOST, &hostOptions, &client_[0], &user_[0], &password_[0], nullptr, 0};
    return RfcOpen(&options);
  }

  RFC_HANDLE OpenPrd() { return OpenHost("sapprd01", 0, "100", "MONITOR", "Secret1"); }
  RFC_HANDLE OpenDev() { return OpenHost("sapdev01", 20, "300", "MONITOR", "Secret3"); }

  RFC_TYPEHANDLE Install(const char* name, std::vector<RfcTypeElement> elements) {
    RFC_TYPEHANDLE handle = 0;
    EXPECT_EQ(
        RfcInstallStructure(const_cast<char*>(name), elements.data(), static_cast<unsigned>(elements.size()), &handle),
        0);
    return handle;
  }

  RFC_TYPEHANDLE InstallRfcsi() {
    return Install("RFCSI", {Field("RFCPROTO", 0, 3), Field("RFCCHARTYP", 0, 4), Field("RFCINTTYP", 0, 3),
                             Field("RFCFLOTYP", 0, 3), Field("RFCDEST", 0, 32), Field("RFCHOST", 0, 8),
                             Field("RFCSYSID", 0, 8), Field("RFCDATABS", 0, 8), Field("RFCDBHOST", 0, 32),
                             Field("RFCDBSYS", 0, 10), Field("RFCSAPRL", 0, 4), Field("RFCMACH", 0, 5),
                             Field("RFCOPSYS", 0, 10), Field("RFCTZONE", 0, 6), Field("RFCDAYST", 0, 1),
                             Field("RFCIPADDR", 0, 15), Field("RFCKERNRL", 0, 4), Field("RFCSI_RESV", 0, 44)});
  }

  RFC_TYPEHANDLE InstallTableXpc() {
    return Install("TABLE_XPC",
                   {Field("TS", 0, 30), Field("INIT_EXT", 8, 4), Field("NEXT_EXT", 8, 4), Field("MIN_EXT", 8, 4),
                    Field("MAX_EXT", 8, 4), Field("PCT_INCR", 8, 4), Field("STATUS", 0, 9), Field("TSIZE", 2, 8),
                    Field("TFREE", 2, 8), Field("TPCTUSED", 8, 4), Field("TEXTENTS", 8, 4), Field("TSEGMENTS", 8, 4),
                    Field("TSAU", 0, 14), Field("TSAUPCT", 8, 4)});
  }

  // Receives DB_ORA_CURRENT_SIZES as the program does.
  int ReceiveSizes(RFC_HANDLE handle, RFC_ITAB table, char** exception) {
    RFC_TYPEHANDLE dateTime = Install("DATE_TIME", {Field("MONI_DATE", 1, 8), Field("MONI_TIME", 3, 6)});
    RFC_TYPEHANDLE row = InstallTableXpc();
    RfcTable tables[2] = {{const_cast<char*>("TS"), 2, row, 112, table, 0, 0}, {}};
    int code = RfcCall(handle, const_cast<char*>("DB_ORA_CURRENT_SIZES"), nullptr, tables);
    if (code != 0) return code;
    char date[8];
    char time[6];
    char stamp[14];
    RfcParameter importing[4] = {{const_cast<char*>("CURR_DATE"), 9, RFC_TYPE_DATE, sizeof date, date},
                                 {const_cast<char*>("CURR_TIME"), 9, RFC_TYPE_TIME, sizeof time, time},
                                 {const_cast<char*>("DATETIME"), 8, dateTime, sizeof stamp, stamp},
                                 {}};
    code = RfcReceive(handle, importing, tables, exception);
    if (code == 0) {
      EXPECT_EQ(std::string(stamp, 8), std::string(date, 8));
      EXPECT_EQ(std::string(stamp + 8, 6), std::string(time, 6));
    }
    return code;
  }

  fs::path home_;
  fs::path dir_;
  std::string client_, user_, password_, host_;
};

TEST_F(SimCalls, LogonByHostAndByGatewayCountsHandlesUp) {
  Write("sapsim.ini", kLandscape);
  RFC_HANDLE first = OpenHost("SAPPRD01", 0, "100", "monitor", "Secret1");
  ASSERT_NE(first, 0u);

  std::string client = "100", user = "MONITOR     ", password = "Secret1   ";
  std::string gwhost = "GWPRD", gwserv = "sapgw00";
  RfcGatewayOptions gateway{&gwhost[0], &gwserv[0]};
  RfcLogonOptions options{nullptr, RFC_LOGON_GATEWAY, &gateway, &client[0], &user[0], &password[0], nullptr, 0};
  RFC_HANDLE second = RfcOpen(&options);
  EXPECT_EQ(second, first + 1);

  RFC_HANDLE third = OpenPrd();
  EXPECT_EQ(third, first + 2);
  EXPECT_TRUE(TraceLines().empty());

  // A closed handle is gone; the others stay open until RfcClose(0).
  RfcClose(second);
  EXPECT_EQ(RfcCall(second, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 1);
  EXPECT_STREQ(LastError().message, ("RfcCall: invalid handle " + std::to_string(second)).c_str());
  EXPECT_EQ(RfcCall(third, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 0);
  RfcClose(0);
  EXPECT_EQ(RfcCall(first, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 1);
  EXPECT_EQ(RfcCall(third, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 1);
  EXPECT_EQ(OpenPrd(), first + 3);  // never reused
}

TEST_F(SimCalls, LogonsThatReachNothing) {
  EXPECT_EQ(OpenPrd(), 0u);  // no sapsim.ini at all
  Write("sapsim.ini", kLandscape);
  EXPECT_EQ(OpenHost("sapprd01", 1, "100", "MONITOR", "Secret1"), 0u);
  EXPECT_EQ(OpenHost(nullptr, 0, "100", "MONITOR", "Secret1"), 0u);
  std::string gwhost = "gwprd";
  RfcGatewayOptions gateway{&gwhost[0], nullptr};
  RfcLogonOptions options{nullptr, RFC_LOGON_GATEWAY, &gateway, nullptr, nullptr, nullptr, nullptr, 0};
  EXPECT_EQ(RfcOpen(&options), 0u);
  options.connopt = nullptr;
  EXPECT_EQ(RfcOpen(&options), 0u);
  EXPECT_EQ(RfcOpen(nullptr), 0u);

  std::vector<std::string> lines = TraceLines();
  ASSERT_EQ(lines.size(), 12u);
  for (size_t i = 0; i < lines.size(); i += 2) {
    EXPECT_EQ(lines[i].substr(0, 26), "**** ERROR file opened at ");
    EXPECT_EQ(lines[i].size(),
              std::string("**** ERROR file opened at 20261208 101500 UTC, SAP-REL 640,0,0 RFC-VER 3").size());
    EXPECT_EQ(lines[i].substr(41), " UTC, SAP-REL 640,0,0 RFC-VER 3");
    EXPECT_EQ(lines[i + 1], "ERROR       partner not reached");
  }
  RfcErrorInfo info = LastError();
  EXPECT_STREQ(info.key, "RFC_ERROR_COMMUNICATION");
  EXPECT_STREQ(info.status, "");
  EXPECT_STREQ(info.message, "partner not reached");
  EXPECT_STREQ(info.intstat, "");
}

// RfcOpen only connects: a wrong sign-on comes back from the first call's
// answer, and every call after it fails.
TEST_F(SimCalls, HostRecordSignOnIsCheckedAtTheFirstCall) {
  Write("sapsim.ini", kLandscape);
  RFC_HANDLE handle = OpenHost("sapprd01", 0, "100", "MONITOR", "secret1");
  ASSERT_NE(handle, 0u);
  EXPECT_TRUE(TraceLines().empty());
  EXPECT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 0);
  EXPECT_TRUE(TraceLines().empty());
  char* exception = nullptr;
  EXPECT_EQ(RfcReceive(handle, nullptr, nullptr, &exception), 1);
  std::vector<std::string> lines = TraceLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 26), "**** ERROR file opened at ");
  EXPECT_EQ(lines[1], "ERROR       Name or password is incorrect. Please re-enter");
  RfcErrorInfo info = LastError();
  EXPECT_STREQ(info.key, "RFC_ERROR_LOGON_FAILURE");
  EXPECT_STREQ(info.message, "Name or password is incorrect. Please re-enter");
  EXPECT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 1);
  EXPECT_EQ(RfcReceive(handle, nullptr, nullptr, &exception), 1);
  EXPECT_EQ(TraceLines().size(), 2u);

  // QAS refuses even the right credentials, with its own trace and error.
  handle = OpenHost("sapqas01", 10, "200", "MONITOR", "Secret2");
  ASSERT_NE(handle, 0u);
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 0);
  EXPECT_EQ(RfcReceive(handle, nullptr, nullptr, &exception), 1);
  lines = TraceLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "**** ERROR file opened at 20261208 101500 UTC, SAP-REL 640,0,0 RFC-VER 3");
  EXPECT_EQ(lines[3], "ERROR       Name or password is incorrect. Please re-enter");
  info = LastError();
  EXPECT_STREQ(info.key, "RFC_ERROR_LOGON_FAILURE");
  EXPECT_STREQ(info.status, "E");
  EXPECT_STREQ(info.message, "Name or password is incorrect. Please re-enter");
  EXPECT_STREQ(info.intstat, "LOGON 1");
}

TEST_F(SimCalls, MalformedFileRefusesEveryLogon) {
  std::string text = kLandscape;
  text.replace(text.find("ashost     = sapprd01"), 21, "ashots     = sapprd01");
  Write("sapsim.ini", text);
  EXPECT_EQ(OpenPrd(), 0u);
  EXPECT_EQ(OpenDev(), 0u);
  std::vector<std::string> lines = TraceLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "ERROR       sapsim.ini line 3: unknown key 'ashots'");
  EXPECT_EQ(lines[3], lines[1]);
  // Read afresh at every logon.
  Write("sapsim.ini", kLandscape);
  EXPECT_NE(OpenPrd(), 0u);
}

TEST_F(SimCalls, OpenExThroughTheParameterFile) {
  Write("sapsim.ini", kLandscape);
  Write("SapRfc.ini",
        "DEST=PRD\r\nTYPE=A\r\nASHOST=sapprd01\r\nSYSNR=00\r\nDEST=GW\nTYPE=R\nGWHOST=gwprd\nGWSERV=sapgw00\n");
  RfcErrorInfoEx error{};
  std::string connect = "CLIENT=100 USER=monitor PASSWD=Secret1 LANG=D DEST=PRD TOUPPER=0";
  // Only saprfc.ini, in exactly that case, or the file RFC_INI names.
  unsetenv("RFC_INI");
  EXPECT_EQ(RfcOpenEx(&connect[0], &error), 0u);
  EXPECT_STREQ(error.message, "partner not reached");
  setenv("RFC_INI", "SapRfc.ini", 1);
  RFC_HANDLE first = RfcOpenEx(&connect[0], &error);
  EXPECT_NE(first, 0u);
  connect = "client=100 user=MONITOR passwd=Secret1 lang=D dest=gw toupper=0";
  EXPECT_EQ(RfcOpenEx(&connect[0], &error), first + 1);

  // The sign-on is checked at open; without TOUPPER=0 the password goes
  // upper-cased and no longer matches.
  for (const char* refused : {"CLIENT=100 USER=MONITOR PASSWD=wrong LANG=D DEST=PRD TOUPPER=0",
                              "CLIENT=100 USER=MONITOR PASSWD=Secret1 LANG=D DEST=PRD"}) {
    connect = refused;
    EXPECT_EQ(RfcOpenEx(&connect[0], &error), 0u) << refused;
    EXPECT_EQ(error.group, 2);
    EXPECT_STREQ(error.key, "RFC_ERROR_LOGON_FAILURE");
    EXPECT_STREQ(error.message, "Name or password is incorrect");
  }

  connect = "CLIENT=100 USER=MONITOR PASSWD=Secret1 LANG=D DEST=NONE TOUPPER=0";
  EXPECT_EQ(RfcOpenEx(&connect[0], &error), 0u);
  EXPECT_STREQ(error.message, "partner not reached");
  EXPECT_EQ(RfcOpenEx(nullptr, nullptr), 0u);
  unsetenv("RFC_INI");
}

// The faults the landscape can inject for the last gaps: call F 0 lets the
// call through, ItDelete can be refused, and a handler fires at any
// operation of its name.
TEST_F(SimCalls, ZeroCallFaultItDeleteAndHandlerAtAnyOperation) {
  Write("sapsim.ini",
        "[Z]\nashost = z\nsysnr = 1\ntablespace = T 1 2 3\n"
        "fault = call RFC_SYSTEM_INFO 0\nfault = itdelete\nfault = handler ItFill\n"
        "fault = handler NoSuchOperation\n"
        "trace = \"  padded  \"\n");
  RFC_HANDLE handle = OpenHost("z", 1, "", "", "");
  ASSERT_NE(handle, 0u);
  RFC_TYPEHANDLE rfcsi = InstallRfcsi();
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 0);
  char record[200];
  RfcParameter importing[] = {{const_cast<char*>("RFCSI_EXPORT"), 12, rfcsi, 200, record}, {}};
  EXPECT_EQ(RfcReceive(handle, importing, nullptr, nullptr), 0);
  EXPECT_EQ(std::string(record + 53, 8), "Z       ");
  EXPECT_TRUE(TraceLines().empty());

  RFC_ITAB table = ItCreate(const_cast<char*>("TS"), 112, 0, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(g_handlerCalls.empty());
  EXPECT_EQ(ItFill(table), 0u);
  EXPECT_EQ(g_handlerCalls, std::vector<std::string>{"ItFill"});
  EXPECT_EQ(ItDelete(table), 1);
  EXPECT_EQ(TraceLines(), (std::vector<std::string>{"  padded  ", "  padded  "}));
  RfcClose(handle);
  EXPECT_EQ(ItDelete(table), 0);
}

TEST_F(SimCalls, SystemInfo) {
  Write("sapsim.ini", kLandscape);
  RFC_HANDLE handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  RFC_TYPEHANDLE rfcsi = InstallRfcsi();
  EXPECT_NE(rfcsi, 0u);
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 0);

  int32_t current = -1, maximal = -1, delay = -1;
  char userType = '?', complete = '?';
  char record[201];
  std::memset(record, 0x55, sizeof record);
  RfcParameter importing[] = {{const_cast<char*>("CURRENT_RESOURCES"), 17, RFC_TYPE_INT, 4, &current},
                              {const_cast<char*>("DIALOG_USER_TYPE"), 16, RFC_TYPE_TEXT, 1, &userType},
                              {const_cast<char*>("MAXIMAL_RESOURCES"), 17, RFC_TYPE_INT, 4, &maximal},
                              {const_cast<char*>("RECOMMENDED_DELAY"), 17, RFC_TYPE_INT, 4, &delay},
                              {const_cast<char*>("RFCSI_EXPORT"), 12, rfcsi, 200, record},
                              {const_cast<char*>("RFC_LOGIN_COMPLETE"), 18, RFC_TYPE_TEXT, 1, &complete},
                              {const_cast<char*>("UNKNOWN"), 7, RFC_TYPE_TEXT, 4, nullptr},
                              {}};
  char* exception = nullptr;
  ASSERT_EQ(RfcReceive(handle, importing, nullptr, &exception), 0);
  EXPECT_EQ(exception, nullptr);
  EXPECT_GT(current, 0);
  EXPECT_GE(maximal, current);
  EXPECT_EQ(delay, 0);
  EXPECT_NE(userType, '?');
  EXPECT_EQ(complete, 'X');
  EXPECT_EQ(std::string(record + 101, 10), "ORACLE    ");
  EXPECT_EQ(std::string(record + 53, 8), "PRD     ");
  EXPECT_EQ(record[200], 0x55);

  // A parameter type that no installation handed out.
  importing[4].type = rfcsi + 1000;
  EXPECT_EQ(RfcReceive(handle, importing, nullptr, &exception), 1);
}

TEST_F(SimCalls, TableFilledWithRows) {
  Write("sapsim.ini", kLandscape);
  RFC_HANDLE handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  RFC_ITAB table = ItCreate(const_cast<char*>("TS"), 112, 0, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(ItFill(table), 0u);
  char* exception = nullptr;
  ASSERT_EQ(ReceiveSizes(handle, table, &exception), 0);
  ASSERT_EQ(ItFill(table), 3u);
  EXPECT_EQ(ItGetLine(table, 0), nullptr);
  EXPECT_EQ(ItGetLine(table, 4), nullptr);
  const char* row = static_cast<const char*>(ItGetLine(table, 1));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(std::string(row, 30), "PSAPSR3" + std::string(23, ' '));
  EXPECT_EQ(std::string(row + 61, 8), std::string("\x00\x00\x00\x05\x24\x28\x80\x0C", 8));
  EXPECT_EQ(std::string(row + 69, 8), std::string("\x00\x00\x00\x01\x04\x85\x76\x0C", 8));
  int32_t pct = 0;
  std::memcpy(&pct, row + 80, 4);
  EXPECT_EQ(pct, 80);
  row = static_cast<const char*>(ItGetLine(table, 3));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(std::string(row, 6), "BROKEN");
  EXPECT_EQ(std::string(row + 61, 8), std::string(8, '\xFF'));
  EXPECT_EQ(std::string(row + 69, 8), std::string("\x00\x00\x00\x00\x00\x00\x00\x1D", 8));

  // Rows stay put while more are added.
  void* first = ItGetLine(table, 1);
  for (int i = 0; i < 100; ++i) ASSERT_NE(ItAppLine(table), nullptr);
  EXPECT_EQ(ItGetLine(table, 1), first);
  EXPECT_EQ(ItFill(table), 103u);

  EXPECT_EQ(ItDelete(table), 0);
  EXPECT_EQ(ItFill(table), 0u);
  EXPECT_EQ(ItGetLine(table, 1), nullptr);
  EXPECT_EQ(ItDelete(table), 1);

  // Any other function module is unknown.
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("Z_OTHER"), nullptr, nullptr), 0);
  EXPECT_EQ(RfcReceive(handle, nullptr, nullptr, &exception), 2);
  ASSERT_NE(exception, nullptr);
  EXPECT_STREQ(exception, "FUNCTION_NOT_FOUND");
}

TEST_F(SimCalls, InjectedCallAndReceiveFaults) {
  Write("sapsim.ini", kLandscape);
  RFC_HANDLE handle = OpenDev();
  ASSERT_NE(handle, 0u);

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RfcCall(handle, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
  std::vector<std::string> lines = TraceLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "ERROR       RfcCall RFC_SYSTEM_INFO returned 3");
  RfcErrorInfo info = LastError();
  EXPECT_STREQ(info.key, "RFC_ERROR_SYSTEM_FAILURE");
  EXPECT_STREQ(info.message, "RfcCall RFC_SYSTEM_INFO returned 3");

  // DB_ORA_CURRENT_SIZES: ItCreate is refused while DEV is connected, and
  // the receive fault comes before the handler fault.
  EXPECT_EQ(ItCreate(const_cast<char*>("TS"), 112, 0, 0), nullptr);
  EXPECT_EQ(TraceLines().back(), "ERROR       ItCreate refused");
  RFC_TYPEHANDLE row = 0;
  RfcTypeElement field = Field("TS", 0, 30);
  EXPECT_EQ(RfcInstallStructure(const_cast<char*>("TABLE_XPC"), &field, 1, &row), 1);
  EXPECT_EQ(TraceLines().back(), "ERROR       RfcInstallStructure TABLE_XPC refused");
  char* exception = nullptr;
  RfcTable tables[] = {{}};
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("DB_ORA_CURRENT_SIZES"), nullptr, tables), 0);
  EXPECT_EQ(RfcReceive(handle, nullptr, tables, &exception), 2);
  ASSERT_NE(exception, nullptr);
  EXPECT_STREQ(exception, "NOT_AUTHORIZED");
  EXPECT_EQ(TraceLines().back(), "ERROR       RfcReceive DB_ORA_CURRENT_SIZES returned 2 exception NOT_AUTHORIZED");
  EXPECT_TRUE(g_handlerCalls.empty());

  // Any other function reaches the handler fault; the handler may close
  // every connection, as the program's does.
  g_handlerClosesAll = true;
  ASSERT_EQ(RfcCall(handle, const_cast<char*>("Z_OTHER"), nullptr, nullptr), 0);
  EXPECT_EQ(RfcReceive(handle, nullptr, nullptr, &exception), 1);
  EXPECT_EQ(g_handlerCalls, std::vector<std::string>{"RfcReceive"});
  EXPECT_EQ(TraceLines().back(), "ERROR       error handler called at RfcReceive");
  EXPECT_STREQ(LastError().message, "error handler called at RfcReceive");
  EXPECT_EQ(RfcCall(handle, const_cast<char*>("Z_OTHER"), nullptr, nullptr), 1);
}

// A close that hangs holds up the close of its own connection only; closing
// every connection, the program's last act on a fatal error, waits on none.
TEST_F(SimCalls, CloseDelayWaitsOnItsOwnConnection) {
  Write("sapsim.ini", "[SLOW]\nashost = slow\nsysnr = 1\nclose_delay_ms = 200\n[FAST]\nashost = fast\nsysnr = 2\n");
  const auto kDelay = std::chrono::milliseconds(200);
  struct Row {
    const char* closed;  // "slow", "fast" or "all"
    bool waits;
  } rows[] = {{"slow", true}, {"fast", false}, {"all", false}};
  for (const Row& row : rows) {
    RFC_HANDLE slow = OpenHost("slow", 1, "", "", "");
    RFC_HANDLE fast = OpenHost("fast", 2, "", "", "");
    ASSERT_NE(slow * fast, 0u);
    const std::string closed = row.closed;
    RFC_HANDLE handle = closed == "slow" ? slow : closed == "fast" ? fast : 0;
    auto start = std::chrono::steady_clock::now();
    RfcClose(handle);
    auto took = std::chrono::steady_clock::now() - start;
    if (row.waits)
      EXPECT_GE(took, kDelay) << row.closed;
    else
      EXPECT_LT(took, kDelay / 2) << row.closed;
    EXPECT_EQ(RfcCall(handle ? handle : slow, const_cast<char*>("RFC_SYSTEM_INFO"), nullptr, nullptr), 1)
        << row.closed << ": still open";
    RfcClose(0);
  }
}

TEST_F(SimCalls, ConnectedFaultsFireOnlyWhileConnected) {
  Write("sapsim.ini", kLandscape);
  RFC_ITAB table = ItCreate(const_cast<char*>("TS"), 112, 0, 0);
  ASSERT_NE(table, nullptr);
  ASSERT_NE(ItAppLine(table), nullptr);
  EXPECT_NE(ItGetLine(table, 1), nullptr);

  RFC_HANDLE handle = OpenDev();
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(ItGetLine(table, 1), nullptr);
  EXPECT_EQ(TraceLines().back(), "ERROR       ItGetLine refused");
  RFC_TYPEHANDLE kept = 7;
  RfcTypeElement field = Field("TS", 0, 30);
  EXPECT_EQ(RfcInstallStructure(const_cast<char*>("TABLE_XPC"), &field, 1, &kept), 1);
  EXPECT_EQ(kept, 7u);
  EXPECT_EQ(RfcInstallStructure(const_cast<char*>("OTHER"), &field, 1, &kept), 0);
  EXPECT_NE(kept, 7u);

  RfcClose(handle);
  EXPECT_NE(ItGetLine(table, 1), nullptr);
  EXPECT_EQ(RfcInstallStructure(const_cast<char*>("TABLE_XPC"), &field, 1, &kept), 0);
  EXPECT_EQ(ItDelete(table), 0);
}

TEST_F(SimCalls, HandlerFaultAtLogon) {
  Write("sapsim.ini", "[H]\nashost = h\nsysnr = 1\nfault = handler RfcOpen\n");
  EXPECT_EQ(OpenHost("h", 1, "", "", ""), 0u);
  EXPECT_EQ(g_handlerCalls, std::vector<std::string>{"RfcOpen"});
  EXPECT_EQ(TraceLines().back(), "ERROR       error handler called at RfcOpen");
}

TEST_F(SimCalls, NullsNeverCrash) {
  RfcEnvironment(nullptr);
  EXPECT_EQ(RfcLastError(nullptr), 1);
  RFC_TYPEHANDLE handle = 0;
  EXPECT_EQ(RfcInstallStructure(nullptr, nullptr, 0, &handle), 0);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(RfcInstallStructure(nullptr, nullptr, 5, &handle), 1);
  EXPECT_EQ(RfcInstallStructure(const_cast<char*>("S"), nullptr, 0, nullptr), 1);
  EXPECT_EQ(RfcCall(0, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(RfcReceive(0, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(ItFill(nullptr), 0u);
  EXPECT_EQ(ItGetLine(nullptr, 1), nullptr);
  EXPECT_EQ(ItAppLine(nullptr), nullptr);
  EXPECT_EQ(ItDelete(nullptr), 1);
  int notATable = 0;
  EXPECT_EQ(ItFill(&notATable), 0u);
  EXPECT_EQ(ItDelete(&notATable), 1);
  RfcClose(12345);

  Write("sapsim.ini", "[E]\nashost = e\nsysnr = 0\ntablespace = T 1 2 3\n");
  RfcHostOptions host{const_cast<char*>("e"), 0, nullptr, nullptr};
  RfcLogonOptions options{nullptr, RFC_LOGON_HOST, &host, nullptr, nullptr, nullptr, nullptr, 0};
  RFC_HANDLE connection = RfcOpen(&options);
  ASSERT_NE(connection, 0u);  // no credentials configured, none given
  ASSERT_EQ(RfcCall(connection, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(RfcReceive(connection, nullptr, nullptr, nullptr), 2);
  ASSERT_EQ(RfcCall(connection, const_cast<char*>("DB_ORA_CURRENT_SIZES"), nullptr, nullptr), 0);
  RfcParameter nullAddresses[] = {{const_cast<char*>("CURR_DATE"), 9, RFC_TYPE_DATE, 8, nullptr}, {}};
  EXPECT_EQ(RfcReceive(connection, nullAddresses, nullptr, nullptr), 0);
  RfcTable noTable[] = {{const_cast<char*>("TS"), 2, handle, 112, nullptr, 0, 0}, {}};
  EXPECT_EQ(RfcReceive(connection, nullptr, noTable, nullptr), 1);
}

}  // namespace
}  // namespace rfcsim
