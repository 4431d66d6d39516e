#include "cpubench/child_frame.h"

#include "cpubench/cpu_benchmark.h"
#include "cpubench/processor_performance.h"

namespace {
void RunCpuWork(ChildRun& run) {
  const bool fast = ReadFastMode(run);
  if (RunCpuBenchmarks(run.result, fast, run.words.jsondebug, run.out,
                       GetProcessorPerformancePercent) == 0) {
    run.exitCode = kCpuExitDone;
  } else {
    run.status += " with errors";
  }
}
}  // namespace

const ChildProgram cpuBenchChild = {
    "CPU_RUNFAST_DEV",
    "WARN: Running in jsondebug mode",
    "ERROR: Invalid CPU benchmark requested",
    "INFO: Launching CPU benchmark suite",
    "INFO: Exiting CPU benchmark suite",
    // Allocation failures included: this program has no separate handler for them.
    {nullptr, "ERROR Unexpected ", "ERROR Unknown exception"},
    kCpuExitIncomplete,
    RunCpuWork,
};
