#include <cstdio>
#include <string>
#include <vector>

#include "driver/run.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  fennick::PrepareStandardOutput();
  std::vector<std::string> args(argv, argv + argc);
  int exitCode = fennick::RunFennick(args);
  std::fflush(stdout);
  return exitCode;
}
