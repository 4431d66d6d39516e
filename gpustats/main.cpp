// CVNGPUStats: answers one request from the run engine with the facts of the monitor and of the
// graphics adapter behind one display.
#include <iostream>
#include <string>
#include <vector>

#include "gpustats/gpu_stats_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return RunGpuStats(args, std::cin, std::cout, kGpuStatsStages);
}
