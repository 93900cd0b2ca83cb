#include <gtest/gtest.h>

#include "driver/console.h"
#include "rfc/backend.h"
#include "rfc/backends.h"
#include "output/result_writer.h"
#include "rfc/classic/trace_file.h"

namespace fennick {
namespace {

std::string Scan(const std::string& content) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  std::string text = LastTraceErrorText(file);
  std::fclose(file);
  return text;
}

TEST(ErrorReport, TraceFileScanner) {
  struct Row {
    const char* what;
    std::string content;
    std::string text;
  } rows[] = {
      {"ERROR and seven blanks", "**** ERROR file opened at x\nERROR       partner not reached\n",
       "partner not reached"},
      {"thread tag and arrow", "T12345 ======> Connect to SAP gateway failed\n", "Connect to SAP gateway failed"},
      {"the last one wins", "ERROR       first\nABCDEFG======> second\n", "second"},
      {"a header after the last error clears it", "ERROR       first\n**** ERROR file opened\n", ""},
      {"nothing to find", "some words\n\n", ""},
      {"a short ERROR line", "ERROR x\n", ""},
      {"CR LF", "ERROR       text\r\n", "text"},
      {"long lines come in pieces of 99",
       "ERROR       " + std::string(87, 'a') + "ERROR       tail\n", "tail"},
  };
  for (const Row& row : rows) EXPECT_EQ(Scan(row.content), row.text) << row.what;
}

TEST(ErrorReport, ResultMessages) {
  EXPECT_EQ(ResultFailure({0, "X"}, "").message, "");
  EXPECT_EQ(ResultFailure({1, ""}, "").message, "Error 1014: RFC-Failure raised !");
  EXPECT_EQ(ResultFailure({2, "NOT_FOUND"}, "").message, "Error 1012: Exception.: NOT_FOUND");
  EXPECT_EQ(ResultFailure({3, "X"}, "").message, "Error 1013: Sys-Exception raised !");
  EXPECT_EQ(ResultFailure({7, "X"}, "").message, "Error 1015: Other Failure raised !");
  EXPECT_EQ(ResultFailure({-1, "X"}, " - why").message, "Error 1015: Other Failure raised ! - why");
  EXPECT_EQ(ResultFailure({2, "NOT_FOUND"}, "").number, 1012);
}

TEST(ConsoleLines, LabelLinesAndParameters) {
  EXPECT_EQ(FormatLabelLine("operation/code", 0, 15, "ItDelete TS"), "operation/code  : ItDelete TS\n");
  EXPECT_EQ(FormatLabelLine("internal status", 0, 15, "x"), "internal status : x\n");
  EXPECT_EQ(FormatLabelLine("a label longer than fifteen", 2, 15, ""), "  a label longer than fifteen : \n");
  EXPECT_EQ(ShownParameters(""), "(No Parameters)");
  EXPECT_EQ(ShownParameters("MEGABYTE#x"), "MEGABYTE");
  EXPECT_EQ(ShownParameters("a,b@c#d"), "a,b");
  EXPECT_EQ(ShownParameters("(No #"), "(No Parameters)");
  EXPECT_EQ(ShownParameters("(Parameters @"), "(No Parameters)");
  EXPECT_EQ(ShownItemParameters("ITEM=A:B @x"), "ITEM=A B");
}

}  // namespace
}  // namespace fennick

namespace fennick {
namespace {

TEST(RfcLibrary, AMissingLibraryIsNamed) {
  RfcBackend backend;
  std::optional<std::string> problem = BindRfcBackend("classic", "/nonexistent/dir/fennick", backend);
  ASSERT_TRUE(problem.has_value());
  EXPECT_NE(problem->find("RFC library librfccm.so cannot be loaded"), std::string::npos) << *problem;
}

}  // namespace
}  // namespace fennick
