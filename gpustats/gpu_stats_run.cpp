#include "gpustats/gpu_stats_run.h"

#include "common/child_answer.h"
#include "common/child_frame.h"
#include "common/child_guard.h"
#include "common/child_lines.h"
#include "gpustats/amd_stats.h"
#include "gpustats/monitor_lookup.h"
#include "gpustats/nvidia_stats.h"
#include "gpustats/value_text.h"

namespace {
const char kTargetKey[] = "GPUSTATS_TARGETDISPLAY";

// The request of a debug run: the target \\.\DISPLAY1, each backslash doubled in the JSON text.
const char kDebugRequest[] = R"({"GPUSTATS_TARGETDISPLAY":"\\\\.\\DISPLAY1"})";
static_assert(sizeof(kDebugRequest) - 1 == 44, "the debug request is 44 characters");

// Allocation failures are reported like any other standard exception.
const ChildHandlerTexts kHandlers = {nullptr, "ERROR Unexpected ", "ERROR Unknown exception"};

// Each "jsondebug" word writes its warning, a word given twice writes it twice; others are ignored.
bool ReadJsondebugWords(const std::vector<std::string>& args, std::ostream& out) {
  bool jsondebug = false;
  for (const std::string& arg : args) {
    if (arg != "jsondebug") continue;
    jsondebug = true;
    PrintLogLine(out, "WARN: Running GPUStats in debug mode");
  }
  return jsondebug;
}

// Every stage runs, also after an incomplete one; true when any of them was incomplete.
bool RunStages(const std::vector<GpuStatsStage>& stages, const std::string& target,
               nlohmann::json& answer, std::ostream& out) {
  bool incomplete = false;
  for (const GpuStatsStage& stage : stages) {
    if (stage.run(answer, target, out) != 0) {
      PrintLogLine(out, "DEBUG: ", stage.name, " incomplete");
      incomplete = true;
    }
  }
  return incomplete;
}
}  // namespace

const std::vector<GpuStatsStage> kGpuStatsStages = {
    {"findMonitorInfo", findMonitorInfo},
    {"NSTATS", CollectNvidiaStats},
    {"ASTATS", CollectAmdStats},
};

std::string ReadGpuStatsRequest(std::istream& in, bool jsondebug) {
  if (jsondebug) return kDebugRequest;
  std::string token;
  in >> token;
  return token;
}

int RunGpuStats(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                const std::vector<GpuStatsStage>& stages) {
  bool jsondebug = false;
  const bool ended = RunGuarded(kHandlers, out, [&] {
    jsondebug = ReadJsondebugWords(args, out);
    const nlohmann::json request = nlohmann::json::parse(ReadGpuStatsRequest(in, jsondebug));
    if (!request.is_object() || !request.contains(kTargetKey)) {
      PrintLogLine(out, "ERROR: Invalid GPUStats requested");
      return;
    }
    const std::string target = request.at(kTargetKey).get<std::string>();
    PrintLogLine(out, "INFO: Launching GPUStats for ", target);
    nlohmann::json answer;
    const bool incomplete = RunStages(stages, target, answer, out);
    PrintBothLine(out, "INFO: Completed GPUStats", incomplete ? " with warnings" : " successfully");
    answer["GPUSTATS_EXIT_CODE"] = ToString(incomplete);
    PrintResultLine(answer, out);
  });
  if (jsondebug) DebugPause(out);
  return ended ? kGpuStatsExitDone : kGpuStatsExitException;
}
