#include "rambench/child_frame.h"

#include "rambench/latency_test.h"
#include "rambench/ram_buffers.h"
#include "rambench/ram_configuration.h"
#include "rambench/throughput_benchmark.h"

namespace {
void RunRamWork(ChildRun& run) {
  CheckRamConfiguration(run.result, run.out);
  const bool fast = ReadFastMode(run);
  int throughput;
  {
    RamBuffers buffers;
    throughput = RunThroughputBenchmarks(run.result, fast, run.words.jsondebug, run.out);
  }
  if (throughput == 0) {
    run.exitCode = kRamExitDone;
    if (RunLatencyTests(run.result, run.words.jsondebug, run.out) != 0) {
      run.status += " with errors";
      run.exitCode = kRamExitLatencyFailed;
    }
  } else {
    run.status += " with errors";
  }
}
}  // namespace

const ChildProgram ramBenchChild = {
    "RAM_RUNFAST_DEV",
    "Running in jsondebug mode",
    "ERROR: Invalid RAM benchmark requested",
    "INFO: Launching RAM benchmark suite",
    "INFO: Exiting RAM benchmark suite",
    {"ERROR: Insufficient memory, aborting RAM benchmark suite: ", "ERROR: Unexpected ",
     "ERROR: Unknown exception"},
    kRamExitIncomplete,
    RunRamWork,
};
