// The CPU and RAM phases: run each benchmark child and merge its answer into the document.
#include <exception>
#include <string>

#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "engine/child_runner.h"
#include "engine/child_time_limits.h"
#include "engine/phase_guard.h"
#include "engine/phases.h"

namespace {

// Build-time switches that leave a phase out whole.
constexpr bool skipCpuBench = false;
constexpr bool skipRamBench = false;

std::string FastModeRequest(const char* key) {
  return std::string("{\"") + key + "\":" + (runFastDev ? "true" : "false") + "}";
}
}  // namespace

void RunCpuPhase(RunState& run) {
  if (skipCpuBench) return;
  WriteLogLine(kLogB, __LINE__, "INFO: Starting CPU tests");
  Tree component;
  std::string reply;
  GuardPhase(run, "CPUBench", reply, [&] {
    for (const auto& fact : run.cpuFacts) component.add("componentInfo." + fact.first, fact.second);
    reply = RunChild("CVNCPUBench.exe", FastModeRequest("CPU_RUNFAST_DEV"), kCpuBenchTimeLimitMs);
    const nlohmann::json parsed = nlohmann::json::parse(reply);
    MergeReplyEntries(component, parsed, "componentInfo", "componentInfo.", MergeMode::JsonText);
    if (parsed.contains("benchmarks")) {
      component.add_child("benchmarks", BenchmarksTree(parsed));
      WriteLogLine(kLogB, __LINE__, "INFO: Completed CPU benchmarks");
    }
  });
  // Also after a failure: the component keeps what was added before it.
  run.components.push_back(Tree::value_type("", component));
}

void RunRamPhase(RunState& run) {
  if (skipRamBench) return;
  WriteLogLine(kLogB, __LINE__, "INFO: Starting RAM tests");
  std::string reply;
  GuardPhase(run, "RAMBench", reply, [&] {
    Tree component;
    reply = RunChild("CVNRAMBench.exe", FastModeRequest("RAM_RUNFAST_DEV"), kRamBenchTimeLimitMs);
    const nlohmann::json parsed = nlohmann::json::parse(reply);
    if (parsed.contains("stateData")) {
      Tree state;
      state.add("stateInfo.stateType", "latency");
      Tree stateData;
      MergeReplyEntries(stateData, parsed, "stateData", "", MergeMode::Text);
      state.add_child("stateData", stateData);
      // Kept even when the component below fails.
      run.systemStates.push_back(Tree::value_type("", state));
    }
    MergeReplyEntries(component, parsed, "componentInfo", "componentInfo.", MergeMode::Text);
    if (parsed.contains("benchmarks")) {
      component.add_child("benchmarks", BenchmarksTree(parsed));
      run.components.push_back(Tree::value_type("", component));
      WriteLogLine(kLogB, __LINE__, "INFO: Completed RAM benchmarks");
    }
  });
}
