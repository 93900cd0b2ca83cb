#include "sim_config.h"

#include <gtest/gtest.h>

#include "sim_values.h"

namespace rfcsim {
namespace {

TEST(SimConfig, EveryKeyOfAGoodFile) {
  ConfigResult result = ParseSimConfig(
      "# a landscape\n"
      "; another comment\n"
      "\n"
      "[PRD]\n"
      "ashost     = sapprd01\n"
      "sysnr      = 07\n"
      "gwhost = gw01\n"
      "gwserv = sapgw07\n"
      "client=100\n"
      "  user = MONITOR  \n"
      "passwd = Sec=ret 1\n"
      "dbsys = MSSQL\n"
      "tablespace = PSAPSR3  52428800 10485760 80\n"
      "tablespace = NEG -5 x0123456789ABCDEF -1\n"
      "tablespace = GROW 2097152 419430 80 10485760\n"
      "tablespace = OFF 2097152 419430 80 12x OFFLINE\n"
      "fault = logon\n"
      "fault = call RFC_SYSTEM_INFO 3\n"
      "fault = receive DB_ORA_CURRENT_SIZES 2 NOT_AUTHORIZED\n"
      "fault = receive RFC_SYSTEM_INFO 1\n"
      "fault = handler RfcReceive\n"
      "fault = install TABLE_XPC\n"
      "fault = itcreate\n"
      "fault = ITGETLINE\n"
      "fault = itdelete\n"
      "fault = handler AnyOperation\n"
      "mshost = sapms01\n"
      "lasterror = RFC_ERROR_X | st |message with | bar|int\n"
      "trace = first line\n"
      "trace =\n"
      "trace = \"     1 ======> padded \"\n"
      "trace = \"half\n"
      "delay_ms = 60000\n"
      "close_delay_ms = 0\n"
      "field_width = ts 40\n"
      "field_width = RFCDBSYS 20\n"
      "field_width = TS 255\n"
      "[QAS]\n"
      "close_delay_ms = 60000\n"
      "dbsys =\n");
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_EQ(result.config.systems.size(), 2u);
  const SystemConfig& prd = result.config.systems[0];
  EXPECT_EQ(prd.sid, "PRD");
  EXPECT_EQ(prd.ashost, "sapprd01");
  EXPECT_EQ(prd.sysnr, 7);
  EXPECT_EQ(prd.gwhost, "gw01");
  EXPECT_EQ(prd.gwserv, "sapgw07");
  EXPECT_EQ(prd.client, "100");
  EXPECT_EQ(prd.user, "MONITOR");
  EXPECT_EQ(prd.passwd, "Sec=ret 1");
  EXPECT_EQ(prd.dbsys, "MSSQL");
  ASSERT_EQ(prd.tablespaces.size(), 4u);
  EXPECT_EQ(prd.tablespaces[0].name, "PSAPSR3");
  EXPECT_EQ(prd.tablespaces[0].size.number, 52428800);
  EXPECT_EQ(prd.tablespaces[0].free.number, 10485760);
  EXPECT_EQ(prd.tablespaces[0].pctUsed, 80);
  EXPECT_EQ(prd.tablespaces[1].size.number, -5);
  EXPECT_TRUE(prd.tablespaces[1].free.raw);
  EXPECT_EQ(prd.tablespaces[1].free.rawBytes, std::string("\x01\x23\x45\x67\x89\xAB\xCD\xEF", 8));
  EXPECT_EQ(prd.tablespaces[1].pctUsed, -1);
  // Without the optional fields: a blank maximum and ONLINE.
  EXPECT_EQ(prd.tablespaces[1].autoMax, "");
  EXPECT_EQ(prd.tablespaces[1].status, "ONLINE");
  EXPECT_EQ(prd.tablespaces[2].autoMax, "10485760");
  EXPECT_EQ(prd.tablespaces[2].status, "ONLINE");
  EXPECT_EQ(prd.tablespaces[3].autoMax, "12x");
  EXPECT_EQ(prd.tablespaces[3].status, "OFFLINE");
  EXPECT_EQ(prd.mshost, "sapms01");
  ASSERT_EQ(prd.faults.size(), 10u);
  EXPECT_EQ(prd.faults[0].kind, FaultKind::Logon);
  EXPECT_EQ(prd.faults[1].kind, FaultKind::Call);
  EXPECT_EQ(prd.faults[1].target, "RFC_SYSTEM_INFO");
  EXPECT_EQ(prd.faults[1].code, 3);
  EXPECT_EQ(prd.faults[2].kind, FaultKind::Receive);
  EXPECT_EQ(prd.faults[2].exception, "NOT_AUTHORIZED");
  EXPECT_EQ(prd.faults[3].exception, "");
  EXPECT_EQ(prd.faults[4].kind, FaultKind::Handler);
  EXPECT_EQ(prd.faults[4].target, "RfcReceive");
  EXPECT_EQ(prd.faults[5].kind, FaultKind::Install);
  EXPECT_EQ(prd.faults[5].target, "TABLE_XPC");
  EXPECT_EQ(prd.faults[6].kind, FaultKind::ItCreate);
  EXPECT_EQ(prd.faults[7].kind, FaultKind::ItGetLine);
  EXPECT_EQ(prd.faults[8].kind, FaultKind::ItDelete);
  EXPECT_EQ(prd.faults[9].kind, FaultKind::Handler);
  EXPECT_EQ(prd.faults[9].target, "AnyOperation");
  ASSERT_TRUE(prd.lastError.has_value());
  EXPECT_EQ(prd.lastError->key, "RFC_ERROR_X");
  EXPECT_EQ(prd.lastError->status, "st");
  EXPECT_EQ(prd.lastError->message, "message with");
  EXPECT_EQ(prd.lastError->internalStatus, "bar|int");
  // Quotes keep a trace line's blanks; a lone quote is just a character.
  EXPECT_EQ(prd.trace, (std::vector<std::string>{"first line", "", "     1 ======> padded ", "\"half"}));
  EXPECT_EQ(prd.delayMs, 60000);
  EXPECT_EQ(prd.fieldWidths, (std::map<std::string, int32_t>{{"TS", 255}, {"RFCDBSYS", 20}}));

  const SystemConfig& qas = result.config.systems[1];
  EXPECT_EQ(qas.dbsys, "");
  EXPECT_FALSE(qas.sysnr.has_value());
  EXPECT_FALSE(qas.lastError.has_value());
  EXPECT_EQ(qas.delayMs, 0);
  EXPECT_EQ(qas.closeDelayMs, 60000);

  EXPECT_EQ(ParseSimConfig("[X]\n").config.systems[0].dbsys, "ORACLE");
}

TEST(SimConfig, WindowsLineEndsAndNoFinalLineEnd) {
  ConfigResult result = ParseSimConfig("[PRD]\r\nashost = h1 \r\n\r\nuser = U\r\npasswd = p\r");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.config.systems[0].ashost, "h1");
  EXPECT_EQ(result.config.systems[0].passwd, "p");

  ConfigResult bad = ParseSimConfig("[PRD]\r\n\r\nashots = h1\r\n");
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(ConfigErrorText(bad), "sapsim.ini line 3: unknown key 'ashots'");
}

TEST(SimConfig, EmptyTextHasNoSystems) {
  for (const char* text : {"", "\n\n", "# only\n; comments\n", "   \t\n"}) {
    ConfigResult result = ParseSimConfig(text);
    EXPECT_TRUE(result.ok) << text;
    EXPECT_TRUE(result.config.systems.empty()) << text;
  }
}

TEST(SimConfig, MalformedLinesAreNamedWithTheirNumber) {
  struct Row {
    const char* line;
    const char* error;
  } rows[] = {
      {"ashots = x", "unknown key 'ashots'"},
      {"just words", "expected [SID] or key = value"},
      {"= value", "expected [SID] or key = value"},
      {"[PRD", "bad section line"},
      {"[  ]", "empty section name"},
      {"sysnr = 0x1", "bad number '0x1'"},
      {"sysnr =", "bad number ''"},
      {"sysnr = 99999999999", "bad number '99999999999'"},
      {"delay_ms = 60001", "delay_ms must be 0..60000"},
      {"delay_ms = -1", "delay_ms must be 0..60000"},
      {"delay_ms = soon", "bad number 'soon'"},
      {"close_delay_ms = 60001", "close_delay_ms must be 0..60000"},
      {"close_delay_ms = -1", "close_delay_ms must be 0..60000"},
      {"field_width = TS", "field_width needs FIELD WIDTH"},
      {"field_width = STATUS 40", "field_width knows TS and RFCDBSYS, not 'STATUS'"},
      {"field_width = TS 0", "field_width must be 1..255"},
      {"field_width = TS 256", "field_width must be 1..255"},
      {"field_width = TS wide", "bad number 'wide'"},
      {"tablespace = A 1 2", "tablespace needs NAME SIZE_KB FREE_KB PCTUSED [AUTOMAX_KB [STATUS]]"},
      {"tablespace = A 1 2 3 4 ONLINE 5", "tablespace needs NAME SIZE_KB FREE_KB PCTUSED [AUTOMAX_KB [STATUS]]"},
      {"tablespace = A 1 2 3 123456789012345", "autoextend maximum longer than 14 characters: '123456789012345'"},
      {"tablespace = A 1 2 3 4 READ_WRITE", "status longer than 9 characters: 'READ_WRITE'"},
      {"tablespace = A 1.5 2 3", "bad number '1.5'"},
      {"tablespace = A 1 2 3%", "bad number '3%'"},
      {"tablespace = A 9223372036854775808 2 3", "bad number '9223372036854775808'"},
      {"tablespace = A x0123 2 3", "bad number 'x0123'"},
      {"tablespace = A 1 x012345678901234G 3", "bad number 'x012345678901234G'"},
      {"tablespace = A 1 2 x0000000000000001", "bad number 'x0000000000000001'"},
      {"fault =", "fault needs a kind"},
      {"fault = crash", "unknown fault kind 'crash'"},
      {"fault = logon now", "fault logon takes no arguments"},
      {"fault = itgetline 3", "fault itgetline takes no arguments"},
      {"fault = call RFC_SYSTEM_INFO", "fault call needs FUNCTION CODE"},
      {"fault = call RFC_SYSTEM_INFO one", "bad number 'one'"},
      {"fault = receive F", "fault receive needs FUNCTION CODE [EXCEPTION]"},
      {"fault = receive F 2 E X", "fault receive needs FUNCTION CODE [EXCEPTION]"},
      {"fault = handler", "fault handler needs OPERATION"},
      {"fault = handler RfcFly now", "fault handler needs OPERATION"},
      {"fault = itdelete 1", "fault itdelete takes no arguments"},
      {"fault = install", "fault install needs STRUCTURE"},
      {"lasterror = A|B|C", "lasterror needs KEY|STATUS|MESSAGE|INTERNAL STATUS"},
      {"tablespace = A 1 2 3 growth=1k", "bad number '1k'"},
      {"tablespace = A 1 2 growth=5", "bad number 'growth=5'"},
      {"start = 2026-3-01", "start needs a date YYYY-MM-DD, not '2026-3-01'"},
      {"start = 2026-02-29", "start needs a date YYYY-MM-DD, not '2026-02-29'"},
      {"start = 1969-12-31", "start needs a date YYYY-MM-DD, not '1969-12-31'"},
  };
  for (const Row& row : rows) {
    std::string text = std::string("# comment\n[PRD]\nashost = h\n") + row.line + "\nsysnr = 00\n";
    ConfigResult result = ParseSimConfig(text);
    EXPECT_FALSE(result.ok) << row.line;
    EXPECT_EQ(result.errorLine, 4) << row.line;
    EXPECT_EQ(result.error, row.error) << row.line;
    EXPECT_TRUE(result.config.systems.empty()) << row.line;
  }
}

TEST(SimConfig, UsedGrowsEachWholeDaySinceTheStart) {
  ConfigResult result = ParseSimConfig(
      "[X]\nstart = 2028-02-28\n"
      "tablespace = UP 1000 400 60 2000 ONLINE growth=100\n"
      "tablespace = DOWN 1000 400 60 GROWTH=-250\n"
      "tablespace = FLAT 1000 400 60\n");
  ASSERT_TRUE(result.ok) << result.error;
  const SystemConfig& system = result.config.systems[0];
  const int64_t start = 1835308800;  // 2028-02-28 00:00 UTC
  struct Row {
    int64_t now;
    int64_t days;
    int64_t free[3];
    int32_t pct[3];
  } rows[] = {
      {start - 1, 0, {400, 400, 400}, {60, 60, 60}},
      {start + 86399, 0, {400, 400, 400}, {60, 60, 60}},
      {start + 86400, 1, {300, 650, 400}, {70, 35, 60}},
      {start + 2 * 86400 + 5, 2, {200, 900, 400}, {80, 10, 60}},  // across the leap day
      {start + 30 * 86400, 30, {0, 1000, 400}, {100, 0, 60}},     // free never below 0, nor above the size
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DaysSinceStart(system, row.now), row.days) << row.now;
    for (size_t i = 0; i < 3; ++i) {
      const Tablespace grown = GrownTablespace(system.tablespaces[i], row.days);
      EXPECT_EQ(grown.free.number, row.free[i]) << row.now << " " << grown.name;
      EXPECT_EQ(grown.pctUsed, row.pct[i]) << row.now << " " << grown.name;
    }
  }
  EXPECT_EQ(AutoextendPercent(GrownTablespace(system.tablespaces[0], 2)), 40);  // 800 of 2000
}

TEST(SimConfig, KeyBeforeAnySection) {
  ConfigResult result = ParseSimConfig("; comment\nashost = h\n[PRD]\n");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(ConfigErrorText(result), "sapsim.ini line 2: key 'ashost' before any section");
}

TEST(SimConfig, NumbersAtTheirLimits) {
  ConfigResult result = ParseSimConfig(
      "[X]\ntablespace = A -9223372036854775808 +9223372036854775807 -2147483648\n"
      "fault = call F 2147483647\n");
  ASSERT_TRUE(result.ok) << result.error;
  const Tablespace& row = result.config.systems[0].tablespaces[0];
  EXPECT_EQ(row.size.number, INT64_MIN);
  EXPECT_EQ(row.free.number, INT64_MAX);
  EXPECT_EQ(row.pctUsed, INT32_MIN);
  EXPECT_EQ(result.config.systems[0].faults[0].code, INT32_MAX);
}

}  // namespace
}  // namespace rfcsim
