#pragma once
// The run of CVNGPUStats: its command-line word, its request, the three stages in order, the
// closing line, the answer and the exit code.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

constexpr int kGpuStatsExitDone = 0;       // the run reached its end, also after an invalid request
constexpr int kGpuStatsExitException = 1;  // an exception ended the run

// One stage: adds what it finds to the answer and returns 0 when complete, 1 when incomplete.
using GpuStatsStageFunction = int (*)(nlohmann::json& answer, std::string target, std::ostream& out);
struct GpuStatsStage {
  const char* name;  // as the "incomplete" line names it
  GpuStatsStageFunction run;
};

// findMonitorInfo, NSTATS, ASTATS: the stages every run goes through, in this order.
extern const std::vector<GpuStatsStage> kGpuStatsStages;

// The request text: the built-in one for \\.\DISPLAY1 in a debug run, else one white-space-delimited
// token from in.
std::string ReadGpuStatsRequest(std::istream& in, bool jsondebug);

// One run on the given stages; args are the words after the program name. Returns the exit code.
int RunGpuStats(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                const std::vector<GpuStatsStage>& stages);
