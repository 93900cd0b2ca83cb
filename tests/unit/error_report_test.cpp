#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "driver/console.h"
#include "output/result_writer.h"
#include "rfc/backend.h"
#include "rfc/backends.h"
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
      {"long lines come in pieces of 99", "ERROR       " + std::string(87, 'a') + "ERROR       tail\n", "tail"},
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

// The start of an ELF file of the given width: magic, class, little-endian.
std::string ElfStart(int bits) {
  std::string bytes =
      "\x7f"
      "ELF";
  bytes += static_cast<char>(bits == 32 ? 1 : 2);
  return bytes + std::string("\x01\x01", 2) + std::string(57, '\0');
}

TEST(RfcLibrary, ALibraryOfTheOtherWidthBesideTheProgramIsNamed) {
  const int own = static_cast<int>(sizeof(void*)) * 8;
  const int other = own == 64 ? 32 : 64;
  const std::string ownBits = std::to_string(own) + "-bit";
  const std::string otherBits = std::to_string(other) + "-bit";
  auto wrongWidth = [&](const std::string& file) {
    return "RFC library " + file + " beside the program is a " + otherBits + " library; the " + ownBits +
           " fennick needs the " + ownBits + " one";
  };
  struct Row {
    const char* what;
    std::string choice;
    std::string file;  // written beside the program, or none
    std::string content;
    std::string message;
  } rows[] = {
      {"classic chosen", "classic", "librfccm.so", ElfStart(other), wrongWidth("librfccm.so")},
      {"NetWeaver chosen", "netweaver", "libsapnwrfc.so", ElfStart(other), wrongWidth("libsapnwrfc.so")},
      {"automatic, the NetWeaver one there", "", "libsapnwrfc.so", ElfStart(other), wrongWidth("libsapnwrfc.so")},
      {"automatic, the classic one there", "", "librfccm.so", ElfStart(other), wrongWidth("librfccm.so")},
      {"the own width, but broken", "classic", "librfccm.so", ElfStart(own),
       "RFC library librfccm.so cannot be loaded: place it beside the program or in the library path"},
      {"no library at all", "classic", "librfccm.so", "not a library",
       "RFC library librfccm.so cannot be loaded: place it beside the program or in the library path"},
      {"the other one of the other width", "classic", "libsapnwrfc.so", ElfStart(other),
       "RFC library librfccm.so cannot be loaded: place it beside the program or in the library path"},
  };
  for (const Row& row : rows) {
    char folder[] = "/tmp/fennick-width-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/" + row.file;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(row.content.data(), 1, row.content.size(), file);
    std::fclose(file);
    RfcBackend backend;
    std::optional<std::string> problem = BindRfcBackend(row.choice, std::string(folder) + "/fennick", backend);
    EXPECT_EQ(problem.value_or("(bound)"), row.message) << row.what;
    std::remove(path.c_str());
    rmdir(folder);
  }
}

}  // namespace
}  // namespace fennick
