#pragma once
// Starting the graphics tests of one adapter, one after another, and keeping their frame rates.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/benchdrive/gpu_test_table.h"
#include "engine/result_document.h"

// How long a graphics test may run before it is ended and counted as failed. A test renders for
// about four seconds; the rest covers start-up, shader builds and a machine that rasterises on its
// processor while other programs load it fully. A test stuck in a message box or in its driver
// would otherwise hold an unattended run for ever.
constexpr DWORD kGpuTestWaitLimitMs = 300000;

struct GpuTestLaunch {
  // Put before the executable name in the command line; empty in a run, so that the process
  // creation's search finds the test beside the run engine first.
  std::string programFolder;
  DWORD waitLimitMs = kGpuTestWaitLimitMs;
};

// Starts commandLine visibly, without any handle of the run engine, waits for it at most
// waitLimitMs and reads exeName + ".dat" of the working directory. Returns 0 with fps set when the
// test ended with 0 and its result file was read (and deleted), else 1.
int RunGpuTest(std::string& commandLine, const std::string& exeName, const std::string& displayName,
               double& fps, DWORD waitLimitMs);

// Runs the table on the Direct3D 9 ordinal until the first failing test; the scores go to the
// component's "benchmarks" when there is any.
void RunAdapterTests(const std::vector<GpuTestRow>& gpuTestTable, int ordinal, Tree& component,
                     const GpuTestLaunch& launch);
