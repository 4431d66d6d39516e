#pragma once
// The phases of a run, in the order main calls them.
#include <functional>

#include "engine/bench_jobs.h"
#include "engine/benchdrive/sustained_write_batch.h"
#include "engine/child_runner.h"
#include "engine/run_state.h"

// Fills the system information's drive records.
using DriveEnumeration = std::function<void(SystemInfo& info)>;

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
