// The CPU and RAM phases: run each benchmark child and merge its answer into the document.
#include <exception>
#include <string>

#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "engine/child_runner.h"
#include "engine/phases.h"

namespace {

// Build-time switches that leave a phase out whole.
constexpr bool skipCpuBench = false;
constexpr bool skipRamBench = false;

std::string FastModeRequest(const char* key) {
  return std::string("{\"") + key + "\":" + (runFastDev ? "true" : "false") + "}";
}

// A new tree holding the reply's "benchmarks" as compact JSON texts.
Tree BenchmarksTree(const nlohmann::json& reply) {
  Tree benchmarks;
  MergeReplyEntries(benchmarks, reply, "benchmarks", "", MergeMode::JsonText);
  return benchmarks;
}

}  // namespace

void RunCpuPhase(RunState& run) {
  if (skipCpuBench) return;
  WriteLogLine(kLogB, __LINE__, "INFO: Starting CPU tests");
  Tree component;
  std::string reply;
  try {
    for (const auto& fact : run.cpuFacts) component.add("componentInfo." + fact.first, fact.second);
    reply = RunChild("CVNCPUBench.exe", FastModeRequest("CPU_RUNFAST_DEV"));
    const nlohmann::json parsed = nlohmann::json::parse(reply);
    MergeReplyEntries(component, parsed, "componentInfo", "componentInfo.", MergeMode::JsonText);
    if (parsed.contains("benchmarks")) {
      component.add_child("benchmarks", BenchmarksTree(parsed));
      WriteLogLine(kLogB, __LINE__, "INFO: Completed CPU benchmarks");
    }
  } catch (const std::exception& error) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: CPUBench failed with error: " + std::string(error.what()) + " (" + reply + ")");
    run.clientCrashed = true;
  } catch (...) {
    WriteLogLine(kLogB, __LINE__, "ERROR: CPUBench fatal error: " + reply);
    run.clientCrashed = true;
  }
  // Also after a failure: the component keeps what was added before it.
  run.components.push_back(Tree::value_type("", component));
}

void RunRamPhase(RunState& run) {
  if (skipRamBench) return;
  WriteLogLine(kLogB, __LINE__, "INFO: Starting RAM tests");
  std::string reply;
  try {
    Tree component;
    reply = RunChild("CVNRAMBench.exe", FastModeRequest("RAM_RUNFAST_DEV"));
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
  } catch (const std::exception& error) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: RAMBench failed with error: " + std::string(error.what()) + " (" + reply + ")");
    run.clientCrashed = true;
  } catch (...) {
    WriteLogLine(kLogB, __LINE__, "ERROR: RAMBench fatal error: " + reply);
    run.clientCrashed = true;
  }
}
