// The autoextend maximum, its percentage and the status of a tablespace
// row: the text rules, the classic row's bytes, and both libraries read
// through their stand-ins.
#include "rfc/tablespace_row.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <vector>

#include "platform/paths.h"
#include "rfc/backends.h"
#include "rfc/classic/tablespace_rows.h"
#include "rfc/netweaver/nw_state.h"

namespace fennick {
namespace {

namespace fs = std::filesystem;

TEST(TablespaceRow, AutoextendMaximumFromText) {
  const std::optional<int64_t> none;
  struct Row {
    const char* text;
    std::optional<int64_t> kb;
  } rows[] = {
      {"10485760", 10485760},
      {"10485760      ", 10485760},  // the field's padding
      {"   42", 42},
      {"0", 0},
      {"00000000000012", 12},
      {"99999999999999", 99999999999999},  // as wide as the classic field
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", none},
      {"12345678901234567890", none},
      {"", none},
      {"              ", none},
      {"-5", none},
      {"+5", none},
      {"12x", none},
      {"1 2", none},
      {"\t12", none},
      {"12\xB9", none},        // a superscript digit in Latin-1
      {"\xEF\xBC\x91", none},  // a full-width digit in UTF-8
  };
  for (const Row& row : rows) EXPECT_EQ(AutoextendKbOf(row.text), row.kb) << '"' << row.text << '"';
}

TEST(TablespaceRow, ClassicRowBytes) {
  const std::optional<int64_t> none;
  struct Row {
    std::string status;  // 9 bytes at 52
    std::string tsau;    // 14 bytes at 92
    int32_t pct;         // at 108
    std::string wantStatus;
    std::optional<int64_t> wantKb;
  } rows[] = {
      {"ONLINE   ", "10485760      ", 15, "ONLINE", 10485760},
      {"OFFLINE  ", "  42          ", 100, "OFFLINE", 42},
      {std::string(9, ' '), std::string(14, ' '), 0, "", none},
      {std::string(9, '\0'), std::string(14, '\0'), 0, "", none},
      {"READWRITE", "99999999999999", -1, "READWRITE", 99999999999999},
      {" \xFFOFF\x01   ", "12x           ", 7, "\xFFOFF\x01", none},
      {"-5       ", "-5            ", 0, "-5", none},
      {std::string("ON\0LINE  ", 9), std::string("123\0 456      ", 14), 3, "ON", 123},  // a zero byte ends the text
  };
  for (const Row& row : rows) {
    std::vector<unsigned char> bytes(112, 0);
    std::memcpy(&bytes[52], row.status.data(), 9);
    std::memcpy(&bytes[92], row.tsau.data(), 14);
    std::memcpy(&bytes[108], &row.pct, 4);
    TablespaceRow read = ReadTablespaceRow(bytes.data());
    EXPECT_EQ(read.status, row.wantStatus) << row.status;
    EXPECT_EQ(read.autoextendKb, row.wantKb) << row.tsau;
    EXPECT_EQ(read.autoextendPct, row.pct) << row.tsau;
  }
}

// A working directory with a sapsim.ini of its own, and a logon to system
// AUT through the stand-in beside this test program.
class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "fennick-rows-XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
    fs::current_path(dir_);
    std::FILE* file = std::fopen("sapsim.ini", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(kLandscape, file);
    std::fclose(file);
  }

  void TearDown() override {
    fs::current_path(home_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  StepResult Fetch(RfcBackend& backend, std::vector<TablespaceRow>& rows) {
    RfcWork work;
    LogonRequest request;
    request.entry = SystemEntry{"", "AUT", "100", "MONITOR", "Secret1", "E", "R/3", "sapaut01", "00", "", ""};
    backend.ops->prepare(backend.state.get(), work, false);
    RfcConnectionId connection = backend.ops->logOn(backend.state.get(), request, work);
    EXPECT_NE(connection, 0u);
    StepResult result = backend.ops->tablespaceRows(backend.state.get(), connection, work, rows);
    backend.ops->close(backend.state.get(), connection, work);
    return result;
  }

  static const char kLandscape[];
  fs::path home_;
  fs::path dir_;
};

const char StandIn::kLandscape[] =
    "[AUT]\nashost = sapaut01\nsysnr = 00\nclient = 100\nuser = MONITOR\npasswd = Secret1\n"
    "tablespace = PLAIN 2097152 419430 80\n"
    "tablespace = GROW  2097152 419430 80 10485760 OFFLINE\n"
    "tablespace = BAD   100 50 50 12x\n"
    "tablespace = NEG   100 50 50 -5 ONLINE\n"
    "tablespace = WIDE  100 50 50 99999999999999 READWRITE\n"
    "tablespace = ODD   100 50 50 7 \xE9t\xE9\x01\n";

struct Expected {
  const char* name;
  std::optional<int64_t> kb;
  int32_t pct;
  const char* status;
};

const Expected kExpected[] = {
    {"PLAIN", std::nullopt, 0, "ONLINE"},
    {"GROW", 10485760, 16, "OFFLINE"},  // 1677722 * 100 / 10485760 = 16.000004,
                                        // truncated
    {"BAD", std::nullopt, 0, "ONLINE"},
    {"NEG", std::nullopt, 0, "ONLINE"},
    {"WIDE", 99999999999999, 0, "READWRITE"},
    {"ODD", 7, 714, "\xE9t\xE9\x01"},
};

void ExpectRows(const std::vector<TablespaceRow>& rows, const std::string& label) {
  ASSERT_EQ(rows.size(), std::size(kExpected)) << label;
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].name, kExpected[i].name) << label;
    EXPECT_EQ(rows[i].autoextendKb, kExpected[i].kb) << label << " " << rows[i].name;
    EXPECT_EQ(rows[i].autoextendPct, kExpected[i].pct) << label << " " << rows[i].name;
    EXPECT_EQ(rows[i].status, kExpected[i].status) << label << " " << rows[i].name;
  }
}

TEST_F(StandIn, BothLibrariesReadTheFields) {
  for (const char* library : {"classic", "netweaver"}) {
    RfcBackend backend;
    ASSERT_FALSE(BindRfcBackend(library, OwnExecutablePath(nullptr), backend).has_value()) << library;
    std::vector<TablespaceRow> rows;
    EXPECT_EQ(Fetch(backend, rows).code, 0) << library;
    ExpectRows(rows, library);
  }
}

// A system of an older release whose TS row lacks a field: the library
// answers the getter with `code` for that field name.
std::string g_hiddenField;
int g_hiddenCode = 0;
NwGetStringFn g_getString = nullptr;
NwGetIntFn g_getInt = nullptr;

bool Hidden(const NwChar* name) {
  std::string text;
  for (const NwChar* c = name; *c; ++c) text.push_back(static_cast<char>(*c));
  return text == g_hiddenField;
}

int NWRFC_CALLCONV GetStringWithout(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                    unsigned* needed, NwErrorInfo* error) {
  if (Hidden(name)) return error->code = g_hiddenCode;
  return g_getString(container, name, buffer, length, needed, error);
}

int NWRFC_CALLCONV GetIntWithout(NwContainer container, const NwChar* name, int* value, NwErrorInfo* error) {
  if (Hidden(name)) return error->code = g_hiddenCode;
  return g_getInt(container, name, value, error);
}

TEST_F(StandIn, NetWeaverRowWithoutAField) {
  RfcBackend backend;
  ASSERT_FALSE(BindRfcBackend("netweaver", OwnExecutablePath(nullptr), backend).has_value());
  NwLibrary& library = static_cast<NwState*>(backend.state.get())->library;
  g_getString = library.RfcGetString;
  g_getInt = library.RfcGetInt;
  library.RfcGetString = GetStringWithout;
  library.RfcGetInt = GetIntWithout;
  struct Row {
    const char* field;
    int code;
    bool read;  // the step succeeds, with the field's default
  } rows[] = {
      {"STATUS", NW_INVALID_PARAMETER, true},  {"TSAU", NW_INVALID_PARAMETER, true},
      {"TSAUPCT", NW_INVALID_PARAMETER, true}, {"TSAU", NW_NOT_FOUND, true},
      {"TSAU", NW_CONVERSION_FAILURE, false},  {"TSAUPCT", NW_COMMUNICATION_FAILURE, false},
      {"STATUS", NW_UNKNOWN_ERROR, false},
  };
  for (const Row& row : rows) {
    g_hiddenField = row.field;
    g_hiddenCode = row.code;
    const std::string label = std::string(row.field) + " " + std::to_string(row.code);
    std::vector<TablespaceRow> read;
    StepResult result = Fetch(backend, read);
    if (!row.read) {
      EXPECT_NE(result.code, 0) << label;
      continue;
    }
    ASSERT_EQ(result.code, 0) << label;
    ASSERT_EQ(read.size(), std::size(kExpected)) << label;
    const std::string field = row.field;
    for (size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].status, field == "STATUS" ? "" : kExpected[i].status) << label;
      EXPECT_EQ(read[i].autoextendKb, field == "TSAU" ? std::nullopt : kExpected[i].kb) << label;
      EXPECT_EQ(read[i].autoextendPct, field == "TSAUPCT" ? 0 : kExpected[i].pct) << label;
    }
  }
}

}  // namespace
}  // namespace fennick
