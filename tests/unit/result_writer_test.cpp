#include "output/result_writer.h"

#include <gtest/gtest.h>

#include <limits>

#include "driver/keywords.h"
#include "output/tablespace_evaluation.h"
#include "profile/text_util.h"

namespace fennick {
namespace {

ResultWriter InMode(const std::string& mode, const std::string& parameters = "") {
  ResultWriter w;
  const OutputForm* form = FindOutputForm(mode);
  w.form = form ? form : &UnlistedOutputForm();
  RunSwitches switches;
  ReadKeywords(ToUpper(parameters), parameters, kCommandLine, switches);
  ApplyWriterSwitches(switches, w);
  return w;
}

// A whole result: document, text line, two channels, end.
std::string WholeResult(ResultWriter& rs) {
  BeginDocument(rs);
  BeginText(rs);
  AppendText(rs, "(PRD) OraSizes: NoSpc=2");
  EndText(rs);
  WriteChannel(rs, "PSAPSR3", "80", "PerCent");
  WriteChannel(rs, "SYSTEM", "5", "");
  EndDocument(rs);
  return rs.messageBuffer;
}

TEST(ResultWriter, ErrorDocumentIsTheSameInEveryMode) {
  for (const char* mode : {"EXEXML", "Quimbel", "Lumenox", "Corvatel", "Tessary", "Other"}) {
    ResultWriter rs = InMode(mode);
    rs.messageBuffer = "left over";
    WriteErrorDocument(rs, RunFailure{"Error 1001: Parameter for Profile-Name is missing !"});
    EXPECT_EQ(rs.messageBuffer,
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1001: Parameter for Profile-Name is missing !</Text>\n</Prtg>\n")
        << mode;
  }
}

TEST(ResultWriter, ErrorDocumentOfTheBuffersOwnText) {
  ResultWriter rs;
  rs.messageBuffer = "Error 1014: RFC-Failure raised ! - Look for Trace-File";
  WriteErrorDocument(rs, RunFailure{rs.messageBuffer});
  EXPECT_EQ(rs.messageBuffer,
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1014: RFC-Failure raised ! - Look for Trace-File</Text>\n</Prtg>\n");
}

TEST(ResultWriter, WholeResultPerMode) {
  const std::string xml =
      "\n<Prtg>\n\n<Text>(PRD) OraSizes: NoSpc=2</Text>\n"
      "\n<Result><Channel>PSAPSR3</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>PerCent</CustomUnit>\n"
      "<Value>80</Value></Result>\n"
      "\n<Result><Channel>SYSTEM</Channel>\n<Value>5</Value></Result>\n"
      "\n</Prtg>\n";
  struct Row {
    const char* mode;
    const char* parameters;
    std::string expected;
  } rows[] = {
      {"EXEXML", "", xml},
      {"Quimbel", "", xml},
      {"Lumenox", "", xml},
      {"Corvatel", "",
       "\n# (PRD) OraSizes: NoSpc=2\n\nMessage.PSAPSR3: PSAPSR3 (%)\nStatistic.PSAPSR3: 80"
       "\n\nMessage.SYSTEM: SYSTEM (#)\nStatistic.SYSTEM: 5\n"},
      {"Tessary", "", "\n# (PRD) OraSizes: NoSpc=2\n> PSAPSR3: 80 %\n> SYSTEM: 5 #\n"},
      {"Tessary", "ch=2", "5\n"},
      {"Tessary", "x,CH=1,y", "80\n"},
      // A mode outside the groups: no frame, no text line, channels as XML.
      {"exexml", "",
       "(PRD) OraSizes: NoSpc=2"
       "\n<Result><Channel>PSAPSR3</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>PerCent</CustomUnit>\n"
       "<Value>80</Value></Result>\n"
       "\n<Result><Channel>SYSTEM</Channel>\n<Value>5</Value></Result>\n"},
  };
  for (const Row& row : rows) {
    ResultWriter rs = InMode(row.mode, row.parameters);
    EXPECT_EQ(WholeResult(rs), row.expected) << row.mode << " " << row.parameters;
    EXPECT_EQ(rs.channelCounter, 2);
  }
}

TEST(ResultWriter, TessaryChannelNumberRules) {
  struct Row {
    const char* parameters;
    const char* expected;
  } rows[] = {
      {"CH=3", "c"},   {"CH=1234", ""},  // read as 123
      {"CH=,3", ""},                     // a comma right behind: 0
      {"CH=2,5", "b"}, {"ch=x", ""},    {"CH=03", "c"},
  };
  for (const Row& row : rows) {
    ResultWriter rs = InMode("Tessary", row.parameters);
    for (const char* value : {"a", "b", "c", "d"}) WriteChannel(rs, "n", value, "");
    EXPECT_EQ(rs.messageBuffer, row.expected) << row.parameters;
  }
}

TEST(ResultWriter, CorvatelTakesTenChannelsPerRun) {
  ResultWriter rs = InMode("Corvatel");
  for (int i = 1; i <= 12; ++i) WriteChannel(rs, "C" + std::to_string(i), "1", "MByte");
  EXPECT_NE(rs.messageBuffer.find("Statistic.C10: 1"), std::string::npos);
  EXPECT_EQ(rs.messageBuffer.find("C11"), std::string::npos);
  EXPECT_EQ(rs.channelCounter, 12);
  // The counter runs on over later documents of the same run.
  BeginDocument(rs);
  WriteChannel(rs, "Later", "1", "");
  EXPECT_EQ(rs.messageBuffer, "");
}

TEST(ResultWriter, CorvatelKeyAndUnits) {
  EXPECT_EQ(ChannelKey("a b/c.d.e"), "a_b_c_d.e");
  EXPECT_EQ(ChannelKey("x\\[y]*(z):-w"), "x__y___z___w");
  ResultWriter rs = InMode("Corvatel");
  WriteChannel(rs, "a b/c.d.e", "7", "TimeResponse");
  EXPECT_EQ(rs.messageBuffer, "\n\nMessage.a_b_c_d.e: a b/c.d.e (mSec)\nStatistic.a_b_c_d.e: 7");
}

TEST(ResultWriter, MarkupCharactersAreEscapedInXmlTexts) {
  ResultWriter rs = InMode("EXEXML");
  WriteErrorDocument(rs, RunFailure{"Error 1002: Profile A&B<1>.P00 is missing..."});
  EXPECT_EQ(rs.messageBuffer,
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1002: Profile A&amp;B&lt;1&gt;.P00 is missing...</Text>\n</Prtg>\n");
  rs.messageBuffer.clear();
  WriteChannel(rs, "R&D", "<1>", "a>b");
  EXPECT_EQ(rs.messageBuffer,
            "\n<Result><Channel>R&amp;D</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>a&gt;b</CustomUnit>\n"
            "<Value>&lt;1&gt;</Value></Result>\n");
  rs.messageBuffer.clear();
  AppendText(rs, "(A&B)");
  EXPECT_EQ(rs.messageBuffer, "(A&amp;B)");
  // The text modes are not XML and keep the characters.
  ResultWriter text = InMode("Tessary");
  AppendText(text, "(A&B)");
  WriteChannel(text, "R&D", "1", "");
  EXPECT_EQ(text.messageBuffer, "(A&B)\n> R&D: 1 #");
}

TEST(ResultWriter, XmlTextsAreCleanedThenEscaped) {
  ResultWriter rs = InMode("Lumenox");
  WriteChannel(rs, "Caf\xE9 & \x01", "1", "");
  EXPECT_EQ(rs.messageBuffer, "\n<Result><Channel>Caf\xC3\xA9 &amp; ?</Channel>\n<Value>1</Value></Result>\n");
  // Plain ASCII stays as it was.
  EXPECT_EQ(EscapeXml("(PRD) OraSizes: NoSpc=3"), "(PRD) OraSizes: NoSpc=3");
}

TEST(ResultWriter, AnErrorClosesADocumentAlreadyOpen) {
  for (const char* mode : {"EXEXML", "Quimbel", "Lumenox"}) {
    ResultWriter rs = InMode(mode);
    WriteErrorEnd(rs, RunFailure{"Error 1018: DataBase mismatch !"});
    EXPECT_EQ(rs.messageBuffer, "\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n") << mode;
  }
  // Modes without a document frame get the whole error document.
  for (const char* mode : {"Corvatel", "Tessary", "Other"}) {
    ResultWriter rs = InMode(mode);
    WriteErrorEnd(rs, RunFailure{"Error 1018: DataBase mismatch !"});
    EXPECT_EQ(rs.messageBuffer, "<Prtg>\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n")
        << mode;
  }
}

}  // namespace
}  // namespace fennick

namespace fennick {
namespace {

TEST(ResultWriter, PrometheusTablespacesAreOnlineUnlessTheirStatusSaysOtherwiseAndBytesNeverOverflow) {
  ResultWriter rs = InMode("Prometheus");
  rs.systemLabel = "PRD";
  const int64_t most = std::numeric_limits<int64_t>::max();
  const std::vector<TablespaceRow> rows = {
      {"OLD", 10, 5, 50, {}, 0, ""},  // an old release reports no status
      {"ARC", 10, 5, 50, {}, 0, "OFFLINE"},
      {"BIG", most, -most, 0, {}, 0, "ONLINE"},
  };
  WriteSystemResult(rs, rows, "PRD", ChannelRules(), {});
  EndDocument(rs);
  for (const char* sample : {
           "fennick_tablespace_online{system=\"PRD\",tablespace=\"OLD\"} 1\n",
           "fennick_tablespace_online{system=\"PRD\",tablespace=\"ARC\"} 0\n",
           "fennick_tablespace_size_bytes{system=\"PRD\",tablespace=\"BIG\"} 9223372036854775807\n",
           "fennick_tablespace_free_bytes{system=\"PRD\",tablespace=\"BIG\"} -9223372036854775808\n",
       }) {
    EXPECT_NE(rs.messageBuffer.find(sample), std::string::npos) << sample << rs.messageBuffer;
  }
}

}  // namespace
}  // namespace fennick
