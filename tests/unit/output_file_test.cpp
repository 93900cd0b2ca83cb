#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "driver/keywords.h"
#include "driver/plugin_options.h"
#include "output/print.h"
#include "platform/run_lock.h"
#include "platform/standard_output.h"

namespace fennick {
namespace {

TEST(OutputOption, EveryWayOfWritingItAndItsFileAsGiven) {
  struct Row {
    std::vector<std::string> args;  // after the profile
    const char* file;               // empty: none
    const char* words;
    bool bad;
  } rows[] = {
      {{"MEGABYTE", "-o", "out.prom"}, "out.prom", "MEGABYTE", false},
      {{"-oout.prom"}, "out.prom", "", false},
      {{"--output=C:\\Program Files\\a,b.prom"}, "C:\\Program Files\\a,b.prom", "", false},
      {{"x", "--output", "-dash.prom", "y"}, "-dash.prom", "x y", false},
      {{"-o", "first", "-o", "second"}, "first", "", false},
      {{"x", "-o"}, "", "x", true},
      {{"--output="}, "", "", true},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = {"fennick", "PRD"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    RunSwitches switches;
    std::string options, firstWord;
    const std::string words = ParameterWords(args, options, firstWord, switches);
    EXPECT_EQ(switches.outputFile.value_or(""), row.file) << row.args[0];
    EXPECT_EQ(words, row.words) << row.args[0];
    EXPECT_EQ(switches.badOption.has_value(), row.bad) << row.args[0];
    if (row.bad) {
      EXPECT_EQ(switches.badOption->message, "Error 1031: Invalid Parameter-Value -o !");
    }
  }
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Prints `pieces` as a result while the result goes to `path`, then marks
// the end; returns what standard output got and the exit code.
std::string PrintIntoFile(const std::string& path, const std::vector<std::string>& pieces, int& exitCode) {
  testing::internal::CaptureStdout();
  SendResultToFile(path, "undelivered\n", 9);
  {
    RunLock lock;
    for (const std::string& piece : pieces) PrintResultLocked(piece);
    exitCode = CommitResultLocked(exitCode);
    exitCode = CommitResultLocked(exitCode);  // once only
    FlushStandardOutputLocked();
  }
  SendResultToFile("", "", 0);
  return testing::internal::GetCapturedStdout();
}

TEST(OutputFile, TheResultReplacesTheFileWholeAtTheEnd) {
  char folder[] = "/tmp/fennick-output-XXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  const std::string path = std::string(folder) + "/out.prom";
  std::ofstream(path) << "old\n";
  int exitCode = 1;
  EXPECT_EQ(PrintIntoFile(path, {"first ", "second\n"}, exitCode), "");
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(Read(path), "first second\n");
  // A folder gone by the end: standard output says so, the run's exit code
  // becomes the error's.
  const std::string gone = std::string(folder) + "/gone/out.prom";
  exitCode = 0;
  EXPECT_EQ(PrintIntoFile(gone, {"lost\n"}, exitCode), "undelivered\n");
  EXPECT_EQ(exitCode, 9);
  std::remove(path.c_str());
  rmdir(folder);
}

}  // namespace
}  // namespace fennick
