#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace fennick {
namespace {

// What is in a file's place: a file opens, anything else does not, and
// only what is there but cannot be opened has a reason. A FIFO must not
// hold the reader until someone writes to it.
TEST(Files, OpenForReadSaysWhyWhereSomethingIsThere) {
  char folder[] = "/tmp/fennick-files-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = folder;
  FilePtr(std::fopen((base + "/file").c_str(), "w"));
  ASSERT_EQ(mkdir((base + "/directory").c_str(), 0700), 0);
  ASSERT_EQ(mkfifo((base + "/fifo").c_str(), 0600), 0);
  struct Row {
    const char* name;
    bool opens;
    const char* why;
  } rows[] = {
      {"file", true, ""},
      {"missing", false, ""},
      {"missing/below", false, ""},
      {"file/below", false, ""},
      {"directory", false, "Is a directory"},
      {"fifo", false, ""},
  };
  for (const Row& row : rows) {
    std::string why = "before";
    FilePtr file = OpenForRead(base + "/" + row.name, why);
    EXPECT_EQ(file != nullptr, row.opens) << row.name;
    EXPECT_EQ(why, row.why) << row.name;
  }
  EXPECT_EQ(std::system(("rm -rf " + base).c_str()), 0);
}

}  // namespace
}  // namespace fennick
