#pragma once
// The graphics phase's work: every WMI video controller that drives a display gets the GPU
// statistics child and the graphics tests, and becomes one graphics component.
#include <functional>
#include <memory>
#include <vector>

#include "engine/bench_jobs.h"
#include "engine/benchdrive/display_adapters.h"
#include "engine/benchdrive/gpu_test_runner.h"
#include "engine/child_runner.h"
#include "engine/result_document.h"
#include "engine/sysinfo/wmi_query.h"

using AdapterTestRunner =
    std::function<void(const std::vector<GpuTestRow>& gpuTestTable, int ordinal, Tree& component)>;

// What the phase reads and starts; a run uses the defaults.
struct GraphicsPlatform {
  RowQuery queryRows = QueryRows;
  std::function<std::unique_ptr<DisplayAdapters>()> openAdapters = OpenDirect3D9Adapters;
  ChildRunner runChild = RunChild;
  AdapterTestRunner runAdapterTests = [](const std::vector<GpuTestRow>& table, int ordinal,
                                         Tree& component) {
    RunAdapterTests(table, ordinal, component, GpuTestLaunch());
  };
};

// Appends one component per benchmarked adapter to components. Returns 1 when a GPU statistics run
// gave no usable answer, else 0 (also when no video controller was found). A member of a GPU
// statistics answer that is not a JSON string raises the JSON library's type error; the
// components appended before it stay.
int RunGpuBenchmarks(Tree& components, const GraphicsPlatform& platform = GraphicsPlatform());
