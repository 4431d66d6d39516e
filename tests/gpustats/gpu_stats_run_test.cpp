// The run of CVNGPUStats on stages of the test's own: the lines, the answer and the exit code of
// each way through, without a process.
#include "gpustats/gpu_stats_run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
int AddsMonitor(nlohmann::json& answer, std::string target, std::ostream& out) {
  answer["monHWName"] = "Monitor of " + target;
  return 0;
}
int AddsVendor(nlohmann::json& answer, std::string target, std::ostream& out) {
  answer["gpuHWApi"] = "NVAPI";
  return 0;
}
int EchoesTarget(nlohmann::json& answer, std::string target, std::ostream& out) {
  out << "S: stage saw " << target << "\n";
  return 0;
}
int Incomplete(nlohmann::json& answer, std::string target, std::ostream& out) { return 1; }
int ThrowsStandard(nlohmann::json& answer, std::string target, std::ostream& out) {
  throw std::runtime_error("boom");
}
int ThrowsOther(nlohmann::json& answer, std::string target, std::ostream& out) { throw 42; }

const std::string kRequest = R"({"GPUSTATS_TARGETDISPLAY":"\\\\.\\DISPLAY1"})";
const std::string kLaunch = "S: INFO: Launching GPUStats for \\\\.\\DISPLAY1\n";

TEST(GpuStatsRun, LinesAnswerAndExitCodeOfEachWayThrough) {
  struct Case {
    const char* shows;
    std::vector<std::string> args;
    std::string input;
    std::vector<GpuStatsStage> stages;
    std::string output;
    int exitCode;
  };
  const Case cases[] = {
      {"every stage complete: members in byte order of their keys, the exit code member first",
       {},
       kRequest,
       {{"one", AddsMonitor}, {"two", AddsVendor}, {"three", EchoesTarget}},
       kLaunch + "S: stage saw \\\\.\\DISPLAY1\nB: INFO: Completed GPUStats successfully\n"
                 R"(R: {"GPUSTATS_EXIT_CODE":"0","gpuHWApi":"NVAPI","monHWName":"Monitor of \\\\.\\DISPLAY1"})"
                 "\n",
       0},
      {"an incomplete stage in the middle: the next stage still runs",
       {},
       kRequest,
       {{"findMonitorInfo", AddsMonitor}, {"NSTATS", Incomplete}, {"ASTATS", EchoesTarget}},
       kLaunch + "S: DEBUG: NSTATS incomplete\nS: stage saw \\\\.\\DISPLAY1\n"
                 "B: INFO: Completed GPUStats with warnings\n"
                 R"(R: {"GPUSTATS_EXIT_CODE":"1","monHWName":"Monitor of \\\\.\\DISPLAY1"})"
                 "\n",
       0},
      {"every stage incomplete: the answer holds the exit code member alone",
       {},
       kRequest,
       {{"findMonitorInfo", Incomplete}, {"NSTATS", Incomplete}, {"ASTATS", Incomplete}},
       kLaunch + "S: DEBUG: findMonitorInfo incomplete\nS: DEBUG: NSTATS incomplete\n"
                 "S: DEBUG: ASTATS incomplete\nB: INFO: Completed GPUStats with warnings\n"
                 "R: {\"GPUSTATS_EXIT_CODE\":\"1\"}\n",
       0},
      {"other members of the request and words other than jsondebug are ignored",
       {"runfast", "JSONDEBUG", "jsondebug2"},
       R"({"GPUSTATS_RUNFAST_DEV":true,"GPUSTATS_TARGETDISPLAY":"X"})",
       {{"one", EchoesTarget}},
       "S: INFO: Launching GPUStats for X\nS: stage saw X\nB: INFO: Completed GPUStats successfully\n"
       "R: {\"GPUSTATS_EXIT_CODE\":\"0\"}\n",
       0},
      {"a standard exception in a stage: no closing line, no answer, exit code 1",
       {},
       kRequest,
       {{"one", AddsMonitor}, {"two", ThrowsStandard}, {"three", EchoesTarget}},
       kLaunch + "B: ERROR Unexpected boom\n",
       1},
      {"any other exception",
       {},
       kRequest,
       {{"one", ThrowsOther}},
       kLaunch + "B: ERROR Unknown exception\n",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    std::istringstream in(c.input);
    std::ostringstream out;
    EXPECT_EQ(RunGpuStats(c.args, in, out, c.stages), c.exitCode);
    EXPECT_EQ(out.str(), c.output);
  }
}

TEST(GpuStatsRun, DebugRunAsksForDisplay1WithoutReadingInput) {
  std::istringstream in(R"({"GPUSTATS_TARGETDISPLAY":"\\\\.\\DISPLAY2"})");
  const nlohmann::json request = nlohmann::json::parse(ReadGpuStatsRequest(in, true));
  EXPECT_EQ(request, (nlohmann::json{{"GPUSTATS_TARGETDISPLAY", R"(\\.\DISPLAY1)"}}));
  EXPECT_EQ(in.tellg(), 0);
}

TEST(GpuStatsRun, RequestIsTheFirstTokenOfTheInput) {
  std::istringstream in("  \r\n{\"GPUSTATS_TARGETDISPLAY\": \"A\"}");
  EXPECT_EQ(ReadGpuStatsRequest(in, false), "{\"GPUSTATS_TARGETDISPLAY\":");
}
}  // namespace
