// CorvanaRunEngine: runs every benchmark of the suite as a child and writes "rawresults.dat".
#include <iostream>
#include <string>

#include "engine/phases.h"
#include "engine/run_end.h"

namespace {
void RunEveryPhase(RunState& run) {
  RunSystemInfoPhase(run);
  RunCpuPhase(run);
  RunRamPhase(run);
  RunDrivePhase(run);
  RunGraphicsPhase(run);
}
}  // namespace

int main(int argc, char* argv[]) {
  bool jsondebug = false;
  bool valid = false;
  if (argc == 2) {
    const std::string word = argv[1];
    if (word == "jsondebug") {
      jsondebug = true;
      valid = true;
      std::cout << "Running in jsondebug mode" << std::endl;
    }
    if (word == "start") valid = true;
  }
  if (!valid) {
    std::cout << "Error: Invalid Configuration" << std::endl;
    return 1;
  }
  return EndProcess(RunBenchmarks(jsondebug, RunEveryPhase));
}
