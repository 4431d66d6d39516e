#pragma once
// The phases of a run, in the order main calls them.
#include <functional>

#include "engine/bench_jobs.h"
#include "engine/benchdrive/gpu_benchmarks.h"
#include "engine/benchdrive/sustained_write_batch.h"
#include "engine/child_runner.h"
#include "engine/run_state.h"

// Fills the system information's drive records.
using DriveEnumeration = std::function<void(SystemInfo& info)>;
// Appends the graphics components and tells whether every GPU statistics run answered (0).
using GraphicsBenchmarks = std::function<int(Tree& components)>;

// Fills "systemInfo" of the document and the processor facts.
void RunSystemInfoPhase(RunState& run);
// Runs the CPU benchmark child and adds the CPU component.
void RunCpuPhase(RunState& run);
// Runs the RAM benchmark child and adds the latency state and the RAM component.
void RunRamPhase(RunState& run);
// Chooses the target drives, runs the drive benchmark's core suite on each, adds the drives
// without benchmarks as components, parks the others and launches the first sustained-write
// batch.
void RunDrivePhase(
    RunState& run,
    const DriveEnumeration& enumerate = [](SystemInfo& info) { info.EnumerateDrives(); },
    ChildRunner runChild = RunChild, const JobLauncher& launch = LaunchBenchAsync);
// Benchmarks the graphics adapters that drive a display; a phase that does not end cleanly marks
// the run crashed.
void RunGraphicsPhase(RunState& run, const GraphicsBenchmarks& benchmarks = [](Tree& components) {
  return RunGpuBenchmarks(components);
});
