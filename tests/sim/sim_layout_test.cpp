#include "sim_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim_functions.h"

namespace rfcsim {
namespace {

RfcTypeElement Field(const char* name, unsigned type, unsigned length) {
  return RfcTypeElement{const_cast<char*>(name), type, length, 0, 0};
}

std::vector<RfcTypeElement> Rfcsi() {
  return {Field("RFCPROTO", 0, 3),   Field("RFCCHARTYP", 0, 4), Field("RFCINTTYP", 0, 3), Field("RFCFLOTYP", 0, 3),
          Field("RFCDEST", 0, 32),   Field("RFCHOST", 0, 8),    Field("RFCSYSID", 0, 8),  Field("RFCDATABS", 0, 8),
          Field("RFCDBHOST", 0, 32), Field("RFCDBSYS", 0, 10),  Field("RFCSAPRL", 0, 4),  Field("RFCMACH", 0, 5),
          Field("RFCOPSYS", 0, 10),  Field("RFCTZONE", 0, 6),   Field("RFCDAYST", 0, 1),  Field("RFCIPADDR", 0, 15),
          Field("RFCKERNRL", 0, 4),  Field("RFCSI_RESV", 0, 44)};
}

std::vector<RfcTypeElement> TableXpc() {
  return {Field("TS", 0, 30),     Field("INIT_EXT", 8, 4), Field("NEXT_EXT", 8, 4), Field("MIN_EXT", 8, 4),
          Field("MAX_EXT", 8, 4), Field("PCT_INCR", 8, 4), Field("STATUS", 0, 9),   Field("TSIZE", 2, 8),
          Field("TFREE", 2, 8),   Field("TPCTUSED", 8, 4), Field("TEXTENTS", 8, 4), Field("TSEGMENTS", 8, 4),
          Field("TSAU", 0, 14),   Field("TSAUPCT", 8, 4)};
}

StructLayout LayOut(const std::vector<RfcTypeElement>& elements, unsigned count) {
  StructLayout layout;
  std::string reason;
  EXPECT_TRUE(LayOutStructure("S", elements.data(), count, layout, reason)) << reason;
  return layout;
}

std::vector<uint64_t> Offsets(const StructLayout& layout) {
  std::vector<uint64_t> offsets;
  for (const FieldLayout& field : layout.fields) offsets.push_back(field.offset);
  return offsets;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

TEST(SimLayout, StructuresTheProgramInstalls) {
  StructLayout rfcsi = LayOut(Rfcsi(), 18);
  EXPECT_EQ(rfcsi.size, 200u);
  EXPECT_EQ(Offsets(rfcsi),
            (std::vector<uint64_t>{0, 3, 7, 10, 13, 45, 53, 61, 69, 101, 111, 115, 120, 130, 136, 137, 152, 156}));
  EXPECT_EQ(rfcsi.fields[9].name, "RFCDBSYS");

  StructLayout xpc = LayOut(TableXpc(), 14);
  EXPECT_EQ(xpc.size, 112u);
  EXPECT_EQ(Offsets(xpc), (std::vector<uint64_t>{0, 32, 36, 40, 44, 48, 52, 61, 69, 80, 84, 88, 92, 108}));

  // DATE_TIME is the start of a longer array; only the count is read.
  std::vector<RfcTypeElement> dateTime = {Field("MONI_DATE", 1, 8), Field("MONI_TIME", 3, 6), Field("MORE", 8, 4)};
  StructLayout dt = LayOut(dateTime, 2);
  EXPECT_EQ(dt.size, 14u);
  EXPECT_EQ(Offsets(dt), (std::vector<uint64_t>{0, 8}));
}

TEST(SimLayout, DescriptorsAreOnlyRead) {
  std::vector<RfcTypeElement> elements = TableXpc();
  std::vector<RfcTypeElement> before = elements;
  LayOut(elements, 14);
  EXPECT_EQ(std::memcmp(elements.data(), before.data(), elements.size() * sizeof(RfcTypeElement)), 0);
}

TEST(SimLayout, OddCountsAndDescriptors) {
  StructLayout layout;
  std::string reason;
  EXPECT_TRUE(LayOutStructure(nullptr, nullptr, 0, layout, reason));
  EXPECT_EQ(layout.size, 0u);
  EXPECT_FALSE(LayOutStructure("S", nullptr, 3, layout, reason));
  std::vector<RfcTypeElement> many(kMaxFields + 1, Field("F", 0, 1));
  EXPECT_FALSE(LayOutStructure("S", many.data(), kMaxFields + 1, layout, reason));
  std::vector<RfcTypeElement> huge = {Field("F", 0, 4000000000u)};
  EXPECT_FALSE(LayOutStructure("S", huge.data(), 1, layout, reason));
  std::vector<RfcTypeElement> unnamed = {Field(nullptr, 0, 1), Field(nullptr, 8, 4)};
  ASSERT_TRUE(LayOutStructure("S", unnamed.data(), 2, layout, reason));
  EXPECT_EQ(Offsets(layout), (std::vector<uint64_t>{0, 4}));
  EXPECT_EQ(layout.size, 8u);
}

TEST(SimLayout, PackedDecimals) {
  struct Row {
    int64_t value;
    size_t length;
    std::string bytes;
  } rows[] = {
      {0, 8, Bytes({0, 0, 0, 0, 0, 0, 0, 0x0C})},
      {12345, 8, Bytes({0, 0, 0, 0, 0, 0x12, 0x34, 0x5C})},
      {-12345, 8, Bytes({0, 0, 0, 0, 0, 0x12, 0x34, 0x5D})},
      {52428800, 8, Bytes({0, 0, 0, 0x05, 0x24, 0x28, 0x80, 0x0C})},
      {999999999999999, 8, Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9C})},
      {-999999999999999, 8, Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9D})},
      // A 16th digit does not fit and is dropped from the front.
      {1000000000000001, 8, Bytes({0, 0, 0, 0, 0, 0, 0, 0x1C})},
      {INT64_MIN, 10, Bytes({0x92, 0x23, 0x37, 0x20, 0x36, 0x85, 0x47, 0x75, 0x80, 0x8D})},
      {7, 1, Bytes({0x7C})},
      {-7, 1, Bytes({0x7D})},
      {5, 0, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(EncodePacked(row.value, row.length), row.bytes) << row.value;
}

TEST(SimLayout, TablespaceRowInTheRowLayout) {
  StructLayout xpc = LayOut(TableXpc(), 14);
  Tablespace tablespace;
  tablespace.name = "PSAPSR3";
  tablespace.size.number = 52428800;
  tablespace.free.raw = true;
  tablespace.free.rawBytes = Bytes({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xFF});
  tablespace.pctUsed = 80;
  std::vector<unsigned char> row(112, 0xEE);
  FillRecord(xpc, TablespaceRowValues(tablespace), row.data(), row.size());
  std::string bytes(row.begin(), row.end());
  EXPECT_EQ(bytes.substr(0, 30), "PSAPSR3" + std::string(23, ' '));
  EXPECT_EQ(bytes.substr(30, 2), Bytes({0xEE, 0xEE}));  // alignment gap untouched
  int32_t number = -1;
  std::memcpy(&number, &row[32], 4);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(bytes.substr(52, 9), "ONLINE   ");
  EXPECT_EQ(bytes.substr(61, 8), EncodePacked(52428800, 8));
  EXPECT_EQ(bytes.substr(69, 8), tablespace.free.rawBytes);
  std::memcpy(&number, &row[80], 4);
  EXPECT_EQ(number, 80);
  EXPECT_EQ(bytes.substr(92, 14), std::string(14, ' '));
  std::memcpy(&number, &row[108], 4);
  EXPECT_EQ(number, 0);
}

// The optional fields of a tablespace line: TSAU as written, TSAUPCT
// worked out from the sizes and a numeric maximum, STATUS as written.
TEST(SimLayout, AutoextendFieldsOfATablespaceLine) {
  StructLayout xpc = LayOut(TableXpc(), 14);
  struct Row {
    const char* line;
    const char* tsau;  // 14 bytes
    int32_t pct;
    const char* status;  // 9 bytes
  } rows[] = {
      {"T 2097152 419430 80", "              ", 0, "ONLINE   "},
      {"T 2097152 419430 80 10485760 OFFLINE", "10485760      ", 16, "OFFLINE  "},  // 16.000004, truncated
      {"T 300 100 100 50", "50            ", 400, "ONLINE   "},                     // a maximum below the size
      {"T 0 1 0 3", "3             ", -33, "ONLINE   "},                            // truncated toward zero
      {"T 100 50 50 0", "0             ", 0, "ONLINE   "},
      {"T 100 50 50 -5", "-5            ", 0, "ONLINE   "},
      {"T 100 50 50 12x", "12x           ", 0, "ONLINE   "},
      {"T 100 50 50 99999999999999 READWRITE", "99999999999999", 0, "READWRITE"},
      {"T x000000000000001C 0 0 10", "10            ", 0, "ONLINE   "},  // raw bytes are no number
      {"T 9223372036854775807 -9223372036854775807 0 1", "1             ", INT32_MAX, "ONLINE   "},
      {"T -9223372036854775807 9223372036854775807 0 1", "1             ", INT32_MIN, "ONLINE   "},
      {"T 1 1 1 5 \xE9t\xE9\x01", "5             ", 0, "\xE9t\xE9\x01     "},
  };
  for (const Row& row : rows) {
    ConfigResult config = ParseSimConfig(std::string("[S]\ntablespace = ") + row.line + "\n");
    ASSERT_TRUE(config.ok) << row.line << ": " << config.error;
    std::vector<unsigned char> record(112, 0xEE);
    FillRecord(xpc, TablespaceRowValues(config.config.systems[0].tablespaces[0]), record.data(), record.size());
    std::string bytes(record.begin(), record.end());
    int32_t pct = -1;
    std::memcpy(&pct, &record[108], 4);
    EXPECT_EQ(bytes.substr(92, 14), row.tsau) << row.line;
    EXPECT_EQ(pct, row.pct) << row.line;
    EXPECT_EQ(bytes.substr(52, 9), row.status) << row.line;
  }
}

TEST(SimLayout, WritesStopAtTheRecordLength) {
  StructLayout rfcsi = LayOut(Rfcsi(), 18);
  SystemConfig system;
  system.sid = "PRD";
  system.ashost = "sapprd01-with-a-long-name";
  system.sysnr = 0;
  std::vector<unsigned char> record(120, 0xEE);
  FillRecord(rfcsi, SystemInfoValues(system), record.data(), 105);
  std::string bytes(record.begin(), record.end());
  EXPECT_EQ(bytes.substr(0, 13), "0114103LITIE3");
  EXPECT_EQ(bytes.substr(13, 32), "sapprd01-with-a-long-name_PRD_00");
  EXPECT_EQ(bytes.substr(45, 8), "sapprd01");
  EXPECT_EQ(bytes.substr(53, 8), "PRD     ");
  EXPECT_EQ(bytes.substr(101, 4), "ORAC");
  EXPECT_EQ(bytes.substr(105), std::string(15, '\xEE'));
}

TEST(SimLayout, SystemInfoRecord) {
  StructLayout rfcsi = LayOut(Rfcsi(), 18);
  SystemConfig system;
  system.sid = "QAS";
  system.ashost = "sapqas01";
  system.sysnr = 10;
  system.dbsys = "";
  std::vector<unsigned char> record(200, 0);
  FillRecord(rfcsi, SystemInfoValues(system), record.data(), record.size());
  std::string expected = std::string("011") + "4103" + "LIT" + "IE3" + "sapqas01_QAS_10" + std::string(17, ' ') +
                         "sapqas01" + "QAS     " + "QAS     " + "sapqas01" + std::string(24, ' ') +
                         std::string(10, ' ') + "740 " + "  390" + "Linux     " + "  3600" + " " + "10.0.0.1       " +
                         "753 " + std::string(44, ' ');
  EXPECT_EQ(std::string(record.begin(), record.end()), expected);
}

}  // namespace
}  // namespace rfcsim
