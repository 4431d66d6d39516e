// CVNCPUBench: answers one request from the run engine with the CPU scores and the processor
// performance measured under load.
#include <iostream>
#include <string>
#include <vector>

#include "cpubench/cpu_child_frame.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunCpuBenchChild(args, std::cin, std::cout);
}
