#pragma once
// CVNRAMBench's part of the child frame: its exit codes, texts, request key and work.
#include "common/child_frame.h"

constexpr int kRamExitIncomplete = 66;  // throughput not measured, invalid request, early exception
constexpr int kRamExitDone = 0;
constexpr int kRamExitLatencyFailed = 67;

extern const ChildProgram ramBenchChild;

// The measuring steps of a RAM run, each returning 0 when it completed and 1 otherwise. The
// program runs the real throughput benchmark and latency test; tests hand in stand-ins.
struct RamSteps {
  int (*throughput)(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out);
  int (*latency)(nlohmann::json& result, bool jsondebug, std::ostream& out);
};

// The work of a RAM run after a valid request: the memory configuration, then the throughput step
// on fresh buffers and, when it completed, the latency step; sets the exit code and the status.
void RunRamWork(ChildRun& run, const RamSteps& steps);
