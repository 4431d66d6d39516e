// The graphics phase: the graphics components, with the phase's own crash flag.
#include <exception>
#include <string>

#include "common/exception_text.h"
#include "common/run_log.h"
#include "engine/phases.h"

namespace {
// Build-time switch of the graphics phase.
constexpr bool skipGpuBench = false;
}  // namespace

void RunGraphicsPhase(RunState& run, const GraphicsBenchmarks& benchmarks) {
  if (skipGpuBench) return;
  // Cleared only by a phase that ends cleanly.
  bool gpuCrash = true;
  try {
    if (benchmarks(run.components) == 0) {
      gpuCrash = false;
      WriteLogLine(kLogB, __LINE__, "INFO: Completed GPU benchmarks");
    } else {
      WriteLogLine(kLogS, __LINE__, "INFO: Completed GPU benchmarks with GPUStats crash");
    }
  } catch (const std::exception& error) {
    WriteLogLine(kLogB, __LINE__, "ERROR: GPU benchmark error: " + ExceptionText(error));
  } catch (...) {
    WriteLogLine(kLogB, __LINE__, "ERROR: GPU benchmark fatal error");
  }
  run.clientCrashed = run.clientCrashed || gpuCrash;
}
