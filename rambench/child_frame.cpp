#include "rambench/child_frame.h"

#include "rambench/latency_test.h"
#include "rambench/ram_buffers.h"
#include "rambench/ram_configuration.h"
#include "rambench/throughput_benchmark.h"

void RunRamWork(ChildRun& run, const RamSteps& steps) {
  CheckRamConfiguration(run.result, run.out);
  const bool fast = ReadFastMode(run);
  int throughput;
  {
    RamBuffers buffers;
    throughput = steps.throughput(run.result, fast, run.words.jsondebug, run.out);
  }
  if (throughput == 0) {
    run.exitCode = kRamExitDone;
    if (steps.latency(run.result, run.words.jsondebug, run.out) != 0) {
      run.status += " with errors";
      run.exitCode = kRamExitLatencyFailed;
    }
  } else {
    run.status += " with errors";
  }
}

namespace {
int MeasureThroughput(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out) {
  return RunThroughputBenchmarks(result, fast, jsondebug, out);
}

void RunRamBenchmarks(ChildRun& run) { RunRamWork(run, {MeasureThroughput, RunLatencyTests}); }
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
    RunRamBenchmarks,
};
