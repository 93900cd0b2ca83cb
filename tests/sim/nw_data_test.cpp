// The NetWeaver stand-in's data containers: what the two function modules
// answer, the getters, and handles that are stale, foreign or null.
#include "nw_test_support.h"

namespace nwtest {
namespace {

const char kLandscape[] =
    "[PRD]\nashost = sapprd01\nsysnr = 00\n"
    "tablespace = PSAPSR3  52428800  10485760  80\n"
    "tablespace = BROKEN   xFFFFFFFFFFFFFFFD  -1  95\n"
    "tablespace = ODD      x0000000000123ABC  0   -7\n"
    "[EMPTY]\nashost = sapempty\nsysnr = 01\n"
    "[WIDE]\nashost = sapwide\nsysnr = 02\nfield_width = TS 40\nfield_width = RFCDBSYS 20\n"
    "tablespace = PSAPSR3_TABLESPACE_WITH_A_LONG_NAME  1000  500  50\n"
    "[AUTO]\nashost = sapauto\nsysnr = 03\n"
    "tablespace = PSAPSR3  2097152  419430  80  10485760  OFFLINE\n";

class NwData : public NwTest {
 protected:
  void SetUp() override {
    NwTest::SetUp();
    Write(kLandscape);
  }

  // Opens the system, invokes `name` on it and keeps the function.
  NwFunction Invoke(const char* host, const char* sysnr, const char* name) {
    NwErrorInfo error;
    connection_ = Open(P(std::string("ASHOST=") + host + " SYSNR=" + sysnr), &error);
    EXPECT_NE(connection_, nullptr) << Text(error.message);
    NwFunction function = RfcCreateFunction(RfcGetFunctionDesc(connection_, U(name).data(), &error), &error);
    EXPECT_NE(function, nullptr) << Text(error.message);
    EXPECT_EQ(RfcInvoke(connection_, function, &error), NW_OK) << Text(error.message);
    return function;
  }

  void TearDown() override {
    if (connection_) RfcCloseConnection(connection_, nullptr);
    NwTest::TearDown();
  }

  NwConnection connection_ = nullptr;
};

struct Get {
  enum How { Chars, String, Int } how;
  const char* field;
  unsigned length;  // the buffer's, in units
  int code;
  std::string text;  // Chars, String; Int in decimal
  unsigned needed;   // String
};

// Runs a getter on a container and checks its result.
void Check(NwContainer container, const Get& get, const std::string& label) {
  std::vector<NwChar> buffer(get.length + 1, 0xAAAA);  // one past the end, which no getter may touch
  NwErrorInfo error = Dirty();
  std::vector<NwChar> name = U(get.field);
  int value = -12345;
  unsigned needed = 99999;
  int code = get.how == Get::Chars    ? RfcGetChars(container, name.data(), buffer.data(), get.length, &error)
             : get.how == Get::String ? RfcGetString(container, name.data(), buffer.data(), get.length, &needed, &error)
                                      : RfcGetInt(container, name.data(), &value, &error);
  std::string where = label + " " + get.field + "/" + std::to_string(get.length);
  EXPECT_EQ(code, get.code) << where << ": " << Text(error.message);
  EXPECT_EQ(error.code, get.code) << where;
  EXPECT_EQ(buffer[get.length], 0xAAAA) << where;
  if (get.how == Get::String && (code == NW_OK || code == NW_BUFFER_TOO_SMALL)) {
    EXPECT_EQ(needed, get.needed) << where;
  }
  if (code != NW_OK) return;
  std::string got = get.how == Get::Chars    ? Text(buffer.data(), get.length)
                    : get.how == Get::String ? Text(buffer.data())
                                             : std::to_string(value);
  EXPECT_EQ(got, get.text) << where;
}

TEST_F(NwData, SystemInfoAnswer) {
  NwFunction function = Invoke("sapprd01", "00", "RFC_SYSTEM_INFO");
  NwStructure rfcsi = nullptr;
  NwErrorInfo error = Dirty();
  ASSERT_EQ(RfcGetStructure(function, U("RFCSI_EXPORT").data(), &rfcsi, &error), NW_OK);
  ExpectOk(error);
  struct Row {
    NwContainer container;
    Get get;
  } rows[] = {
      {rfcsi, {Get::Chars, "RFCDBSYS", 13, 0, "ORACLE       ", 0}},  // the whole buffer, blank-padded
      {rfcsi, {Get::Chars, "RFCDBSYS", 9, NW_BUFFER_TOO_SMALL, "", 0}},
      {rfcsi, {Get::String, "RFCDEST", 40, 0, "sapprd01_PRD_00", 15}},
      {rfcsi, {Get::String, "RFCDAYST", 1, 0, "", 0}},
      {rfcsi, {Get::Chars, "rfcdbsys", 10, NW_INVALID_PARAMETER, "", 0}},  // names are case-sensitive
      {function, {Get::Int, "CURRENT_RESOURCES", 0, 0, "5", 0}},
      {function, {Get::Chars, "RFC_LOGIN_COMPLETE", 1, 0, "X", 0}},
      {function, {Get::Chars, "RFCSI_EXPORT", 300, NW_CONVERSION_FAILURE, "", 0}},  // a structure, not a field
      {function, {Get::String, "RFCDBSYS", 20, NW_INVALID_PARAMETER, "", 0}},       // in the structure only
  };
  for (const Row& row : rows) Check(row.container, row.get, row.container == rfcsi ? "RFCSI" : "function");

  NwTable table = nullptr;
  EXPECT_EQ(RfcGetTable(function, U("RFCSI_EXPORT").data(), &table, &error), NW_CONVERSION_FAILURE);
  EXPECT_EQ(RfcGetStructure(function, U("CURRENT_RESOURCES").data(), &rfcsi, &error), NW_CONVERSION_FAILURE);
  EXPECT_EQ(rfcsi, nullptr);
  EXPECT_EQ(RfcGetStructure(function, U("NOTHING").data(), &rfcsi, &error), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

TEST_F(NwData, TablespaceRowsAndGetters) {
  NwFunction function = Invoke("sapprd01", "00", "DB_ORA_CURRENT_SIZES");
  NwErrorInfo error = Dirty();
  NwTable table = nullptr;
  ASSERT_EQ(RfcGetTable(function, U("TS").data(), &table, &error), NW_OK);
  unsigned count = 0;
  EXPECT_EQ(RfcGetRowCount(table, &count, &error), NW_OK);
  EXPECT_EQ(count, 3u);

  // The table stands for its current row, the first one after the call.
  struct Row {
    unsigned index;
    Get get;
  } rows[] = {
      {0, {Get::Chars, "TS", 30, 0, "PSAPSR3" + std::string(23, ' '), 0}},
      {0, {Get::Chars, "TS", 29, NW_BUFFER_TOO_SMALL, "", 0}},
      {0, {Get::String, "TS", 8, 0, "PSAPSR3", 7}},
      {0, {Get::String, "TS", 7, NW_BUFFER_TOO_SMALL, "", 7}},
      {0, {Get::String, "STATUS", 10, 0, "ONLINE", 6}},
      {0, {Get::String, "TSIZE", 20, 0, "52428800", 8}},
      {0, {Get::String, "TFREE", 8, NW_BUFFER_TOO_SMALL, "", 8}},
      {0, {Get::Int, "TPCTUSED", 0, 0, "80", 0}},
      {0, {Get::String, "TPCTUSED", 3, 0, "80", 2}},
      {0, {Get::Int, "TSIZE", 0, NW_CONVERSION_FAILURE, "", 0}},
      {0, {Get::Chars, "TSIZE", 20, NW_CONVERSION_FAILURE, "", 0}},
      {0, {Get::Int, "TS", 0, NW_CONVERSION_FAILURE, "", 0}},
      // Raw packed bytes as they come: sign D, digits above 9 as hex letters.
      {1, {Get::String, "TSIZE", 20, 0, "-FFFFFFFFFFFFFFF", 16}},
      {1, {Get::String, "TFREE", 20, 0, "-1", 2}},
      {2, {Get::String, "TSIZE", 20, 0, "123AB", 5}},
      {2, {Get::String, "TFREE", 20, 0, "0", 1}},
      {2, {Get::Int, "TPCTUSED", 0, 0, "-7", 0}},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(RfcMoveTo(table, row.index, &error), NW_OK);
    Check(table, row.get, "TS row " + std::to_string(row.index));
    NwStructure current = RfcGetCurrentRow(table, &error);
    ASSERT_NE(current, nullptr);
    Check(current, row.get, "current row " + std::to_string(row.index));
  }
  EXPECT_EQ(RfcMoveTo(table, 3, &error), NW_NOT_FOUND);
  EXPECT_EQ(Text(error.key), "RFC_NOT_FOUND");
  Check(table, {Get::String, "TS", 20, 0, "ODD", 3}, "after a failed move");

  // The date and time of the call, the same in both places.
  NwStructure stamp = nullptr;
  ASSERT_EQ(RfcGetStructure(function, U("DATETIME").data(), &stamp, &error), NW_OK);
  NwChar date[8], time[6], moniDate[8], moniTime[6];
  ASSERT_EQ(RfcGetChars(function, U("CURR_DATE").data(), date, 8, &error), NW_OK);
  ASSERT_EQ(RfcGetChars(function, U("CURR_TIME").data(), time, 6, &error), NW_OK);
  ASSERT_EQ(RfcGetChars(stamp, U("MONI_DATE").data(), moniDate, 8, &error), NW_OK);
  ASSERT_EQ(RfcGetChars(stamp, U("MONI_TIME").data(), moniTime, 6, &error), NW_OK);
  EXPECT_EQ(Text(date, 8) + Text(time, 6), Text(moniDate, 8) + Text(moniTime, 6));
  EXPECT_EQ(Text(date, 2), "20");
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

// A system whose text fields are wider than the usual 30 and 10: a buffer
// of the usual size is too small, and the string getter gives the whole text.
TEST_F(NwData, FieldsOfADeclaredWidth) {
  NwFunction sizes = Invoke("sapwide", "02", "DB_ORA_CURRENT_SIZES");
  NwErrorInfo error;
  NwFunction info = RfcCreateFunction(RfcGetFunctionDesc(connection_, U("RFC_SYSTEM_INFO").data(), &error), &error);
  ASSERT_EQ(RfcInvoke(connection_, info, &error), NW_OK);
  NwTable ts = nullptr;
  NwStructure rfcsi = nullptr;
  ASSERT_EQ(RfcGetTable(sizes, U("TS").data(), &ts, &error), NW_OK);
  ASSERT_EQ(RfcGetStructure(info, U("RFCSI_EXPORT").data(), &rfcsi, &error), NW_OK);
  const std::string name = "PSAPSR3_TABLESPACE_WITH_A_LONG_NAME";
  struct Row {
    NwContainer container;
    Get get;
  } rows[] = {
      {ts, {Get::Chars, "TS", 30, NW_BUFFER_TOO_SMALL, "", 0}},
      {ts, {Get::Chars, "TS", 40, 0, name + "     ", 0}},
      {ts, {Get::String, "TS", 36, 0, name, 35}},
      {rfcsi, {Get::Chars, "RFCDBSYS", 10, NW_BUFFER_TOO_SMALL, "", 0}},
      {rfcsi, {Get::Chars, "RFCDBSYS", 20, 0, "ORACLE" + std::string(14, ' '), 0}},
      {rfcsi, {Get::String, "RFCDBSYS", 32, 0, "ORACLE", 6}},
  };
  for (const Row& row : rows) Check(row.container, row.get, row.container == ts ? "TS" : "RFCSI");
  EXPECT_EQ(RfcDestroyFunction(info, &error), NW_OK);
  EXPECT_EQ(RfcDestroyFunction(sizes, &error), NW_OK);
}

// The autoextend maximum, its percentage and the status of a tablespace
// line; without them, a blank maximum, 0 and ONLINE.
TEST_F(NwData, AutoextendFields) {
  for (const char* host : {"sapprd01", "sapauto"}) {
    const bool given = std::string(host) == "sapauto";
    NwFunction function = Invoke(host, given ? "03" : "00", "DB_ORA_CURRENT_SIZES");
    NwErrorInfo error;
    NwTable table = nullptr;
    ASSERT_EQ(RfcGetTable(function, U("TS").data(), &table, &error), NW_OK);
    const Get gets[] = {
        {Get::Chars, "TSAU", 14, 0, given ? "10485760      " : std::string(14, ' '), 0},
        {Get::String, "TSAU", 20, 0, given ? "10485760" : "", given ? 8u : 0u},
        {Get::Int, "TSAUPCT", 0, 0, given ? "16" : "0", 0},
        {Get::String, "STATUS", 20, 0, given ? "OFFLINE" : "ONLINE", given ? 7u : 6u},
        {Get::Int, "TSAU", 0, NW_CONVERSION_FAILURE, "", 0},
    };
    for (const Get& get : gets) Check(table, get, host);
    EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
    EXPECT_EQ(RfcCloseConnection(connection_, &error), NW_OK);
    connection_ = nullptr;
  }
}

TEST_F(NwData, EmptyTableHasNoCurrentRow) {
  NwFunction function = Invoke("sapempty", "01", "DB_ORA_CURRENT_SIZES");
  NwErrorInfo error = Dirty();
  NwTable table = nullptr;
  ASSERT_EQ(RfcGetTable(function, U("TS").data(), &table, &error), NW_OK);
  unsigned count = 7;
  EXPECT_EQ(RfcGetRowCount(table, &count, &error), NW_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(RfcMoveTo(table, 0, &error), NW_NOT_FOUND);
  EXPECT_EQ(RfcGetCurrentRow(table, &error), nullptr);
  EXPECT_EQ(error.code, NW_NOT_FOUND);
  Check(table, {Get::String, "TS", 20, NW_NOT_FOUND, "", 0}, "empty");
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

TEST_F(NwData, StaleAndForeignHandles) {
  NwFunction function = Invoke("sapprd01", "00", "DB_ORA_CURRENT_SIZES");
  NwErrorInfo error;
  NwTable table = nullptr;
  NwStructure stamp = nullptr;
  ASSERT_EQ(RfcGetTable(function, U("TS").data(), &table, &error), NW_OK);
  ASSERT_EQ(RfcGetStructure(function, U("DATETIME").data(), &stamp, &error), NW_OK);
  NwStructure row = RfcGetCurrentRow(table, &error);
  ASSERT_NE(row, nullptr);
  const std::vector<NwChar> ts = U("TS");
  NwChar buffer[40];
  unsigned count = 0;

  // Handles of the wrong kind, or of nothing the stand-in made.
  int foreign = 0;
  EXPECT_EQ(RfcGetRowCount(reinterpret_cast<NwTable>(&foreign), &count, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetRowCount(stamp, &count, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetChars(reinterpret_cast<NwContainer>(connection_), ts.data(), buffer, 40, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcInvoke(connection_, table, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcInvoke(reinterpret_cast<NwConnection>(function), function, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcDestroyFunction(row, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcCreateFunction(reinterpret_cast<NwFunctionDesc>(function), &error), nullptr);
  EXPECT_EQ(Text(error.key), "RFC_INVALID_HANDLE");

  // A second call renews the rows; the table and structure stay.
  ASSERT_EQ(RfcInvoke(connection_, function, &error), NW_OK);
  EXPECT_EQ(RfcGetChars(row, ts.data(), buffer, 40, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetRowCount(table, &count, &error), NW_OK);
  EXPECT_EQ(count, 3u);
  row = RfcGetCurrentRow(table, &error);
  ASSERT_NE(row, nullptr);

  // Destroying the function takes everything within it.
  ASSERT_EQ(RfcDestroyFunction(function, &error), NW_OK);
  EXPECT_EQ(RfcGetRowCount(table, &count, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetChars(row, ts.data(), buffer, 40, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetChars(stamp, U("MONI_DATE").data(), buffer, 40, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcInvoke(connection_, function, &error), NW_INVALID_HANDLE);

  function = RfcCreateFunction(RfcGetFunctionDesc(connection_, U("RFC_SYSTEM_INFO").data(), &error), &error);
  ASSERT_EQ(RfcCloseConnection(connection_, &error), NW_OK);
  EXPECT_EQ(RfcInvoke(connection_, function, &error), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetFunctionDesc(connection_, ts.data(), &error), nullptr);
  EXPECT_EQ(error.code, NW_INVALID_HANDLE);
  connection_ = nullptr;
  EXPECT_EQ(RfcDestroyFunction(function, &error), NW_OK);
}

TEST_F(NwData, NullsNeverCrash) {
  NwFunction function = Invoke("sapprd01", "00", "DB_ORA_CURRENT_SIZES");
  NwErrorInfo error;
  NwTable table = nullptr;
  const std::vector<NwChar> ts = U("TS");
  const std::vector<NwChar> ashost = U("ASHOST");
  NwConnectionParameter nulls[] = {{nullptr, nullptr}, {ashost.data(), nullptr}};
  NwChar buffer[40];
  unsigned count = 0;

  // Without an error record, and with null handles, names and places.
  EXPECT_EQ(RfcOpenConnection(nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(RfcOpenConnection(nullptr, 3, &error), nullptr);
  EXPECT_EQ(error.code, NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcOpenConnection(nulls, 2, &error), nullptr);
  EXPECT_EQ(error.code, NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcCloseConnection(nullptr, nullptr), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetFunctionDesc(connection_, nullptr, &error), nullptr);
  EXPECT_EQ(error.code, NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcCreateFunction(nullptr, nullptr), nullptr);
  EXPECT_EQ(RfcInvoke(connection_, nullptr, nullptr), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetTable(function, nullptr, &table, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcGetTable(function, ts.data(), nullptr, nullptr), NW_INVALID_PARAMETER);
  ASSERT_EQ(RfcGetTable(function, ts.data(), &table, nullptr), NW_OK);
  EXPECT_EQ(RfcGetRowCount(table, nullptr, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcGetRowCount(nullptr, &count, nullptr), NW_INVALID_HANDLE);
  EXPECT_EQ(RfcGetCurrentRow(nullptr, nullptr), nullptr);
  EXPECT_EQ(RfcGetChars(table, nullptr, buffer, 40, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcGetChars(table, ts.data(), nullptr, 40, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcGetString(table, ts.data(), nullptr, 40, nullptr, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcGetString(table, ts.data(), buffer, 3, nullptr, nullptr), NW_BUFFER_TOO_SMALL);
  EXPECT_EQ(RfcGetInt(table, U("TPCTUSED").data(), nullptr, nullptr), NW_INVALID_PARAMETER);
  EXPECT_EQ(RfcDestroyFunction(function, nullptr), NW_OK);

  unsigned major = 0, minor = 0, patch = 0;
  EXPECT_EQ(Text(RfcGetVersion(&major, &minor, &patch)), "7.50.12");
  EXPECT_EQ(major * 10000 + minor * 100 + patch, 75012u);
  EXPECT_NE(RfcGetVersion(nullptr, nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace nwtest
