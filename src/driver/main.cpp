#include <string>
#include <vector>

#include "driver/child/child_main.h"
#include "driver/run.h"
#include "platform/arguments.h"
#include "platform/standard_output.h"

int main(int argc, char** argv) {
  fennick::PrepareStandardOutput();
  std::vector<std::string> args = fennick::ProgramArguments(argc, argv);
  if (fennick::IsMeasuringChild(args)) return fennick::RunMeasuringChild(args);
  int exitCode = fennick::RunFennick(args);
  fennick::FlushStandardOutput();
  return exitCode;
}
