#include "cpubench/cpu_worker.h"

#include "cpubench/cpu_workloads.h"

std::atomic<int32_t> measureFlag{0};
std::atomic<int32_t> stopFlag{0};

const char* const cpuModeNames[4] = {"Int", "Float", "Mixed", "End"};
const double cpuModeWeights[4] = {27000.0, 27000.0, 54000.0, -1.0};

void RunWorkload(BenchThreadRecord& record) {
  const int mode = record.mode;
  const uint32_t* buffer = record.buffer;
  const int kb = record.kb;
  RunCountedUnits(record.count, [mode, buffer, kb] { RunCpuUnit(mode, buffer, kb); });
}

double CpuAmount(const BenchThreadRecord& record) {
  return static_cast<double>(record.count) * cpuModeWeights[record.mode];
}
