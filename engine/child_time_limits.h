#pragma once
// How long each console child may run before the runner ends it. Each bound is several times the
// child's normal run on a slow, loaded machine, so that only a child that hangs is ended, and a
// run left unattended never waits for ever.
#include <windows.h>

// The CPU benchmark measures for about 15 s (5 thread counts, 3 workloads of one second each).
constexpr DWORD kCpuBenchTimeLimitMs = 5 * 60 * 1000;
// The RAM benchmark's throughput windows and latency curve take about a minute.
constexpr DWORD kRamBenchTimeLimitMs = 10 * 60 * 1000;
// The GPU statistics child only asks the display configuration and the driver libraries.
constexpr DWORD kGpuStatsTimeLimitMs = 30 * 1000;
// The drive benchmark's suites write and read the drive; a slow USB stick takes many minutes.
constexpr DWORD kDriveCoreTimeLimitMs = 30 * 60 * 1000;
// A sustained-write run has no bound of the runner's own: the stage waits at most its batch's
// 75 s for it and the run then ends without it (its job abandoned), long before any bound of a
// drive benchmark's length could fall due.
constexpr DWORD kSustainedWriteTimeLimitMs = INFINITE;
