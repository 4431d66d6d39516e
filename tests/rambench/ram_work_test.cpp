// The RAM child's exit codes and closing lines through the frame, with stand-ins for the two
// measurements (the real ones take minutes and cannot be made to fail here).
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "rambench/child_frame.h"
#include "tests/support/process_runner.h"

namespace {
int latencyCalls = 0;

void AddBenchmark(nlohmann::json& result, const char* key) {
  result["benchmarks"].push_back(nlohmann::json{{key, 1.5}});
}
int ThroughputDone(nlohmann::json& result, bool, bool, std::ostream&) {
  AddBenchmark(result, "1CoreReadRAMBench");
  return 0;
}
int ThroughputFailed(nlohmann::json&, bool, bool, std::ostream&) { return 1; }
int ThroughputThrows(nlohmann::json&, bool, bool, std::ostream&) {
  throw std::runtime_error("throughput stand-in");
}
int LatencyDone(nlohmann::json& result, bool, std::ostream&) {
  ++latencyCalls;
  AddBenchmark(result, "Latency128MB");
  return 0;
}
int LatencyFailed(nlohmann::json& result, bool, std::ostream&) {
  ++latencyCalls;
  result["stateData"].push_back(nlohmann::json{{"1KB", "1.2"}});
  return 1;
}
int LatencyThrows(nlohmann::json&, bool, std::ostream&) {
  ++latencyCalls;
  throw std::runtime_error("latency stand-in");
}

// RunChildFrame takes a plain function as the work, so each case has one.
template <int (*Throughput)(nlohmann::json&, bool, bool, std::ostream&),
          int (*Latency)(nlohmann::json&, bool, std::ostream&)>
void Work(ChildRun& run) {
  RunRamWork(run, {Throughput, Latency});
}
}  // namespace

TEST(RamWork, ExitCodesAndClosingLines) {
  struct Case {
    const char* shows;
    void (*work)(ChildRun&);
    int exitCode;
    int latencyCalls;
    std::vector<std::string> lastLines;
  } const cases[] = {
      {"both steps completed", Work<ThroughputDone, LatencyDone>, 0, 1,
       {"B: INFO: Exiting RAM benchmark suite",
        "R: {\"benchmarks\":[{\"1CoreReadRAMBench\":1.5},{\"Latency128MB\":1.5}],"}},
      {"the latency test failed: 67, with what both steps added", Work<ThroughputDone, LatencyFailed>,
       67, 1,
       {"B: INFO: Exiting RAM benchmark suite with errors",
        "R: {\"benchmarks\":[{\"1CoreReadRAMBench\":1.5}],"}},
      {"the throughput did not complete: 66, no latency test", Work<ThroughputFailed, LatencyDone>,
       66, 0, {"B: INFO: Exiting RAM benchmark suite with errors", "R: {\"componentInfo\":"}},
      {"an exception after the throughput completed still ends with 0",
       Work<ThroughputDone, LatencyThrows>, 0, 1, {"B: ERROR: Unexpected latency stand-in"}},
      {"an exception before it completed ends with 66", Work<ThroughputThrows, LatencyDone>, 66, 0,
       {"B: ERROR: Unexpected throughput stand-in"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    ChildProgram program = ramBenchChild;
    program.work = c.work;
    latencyCalls = 0;
    std::istringstream in("{\"RAM_RUNFAST_DEV\":false}");
    std::ostringstream out;
    EXPECT_EQ(RunChildFrame(program, {}, in, out), c.exitCode);
    EXPECT_EQ(latencyCalls, c.latencyCalls);
    const std::vector<std::string> lines = SplitLines(out.str());
    ASSERT_GE(lines.size(), c.lastLines.size() + 2);
    EXPECT_EQ(lines[0], "B: INFO: Launching RAM benchmark suite");
    EXPECT_EQ(lines[1], "C: INFO: Checking RAM configuration");
    const size_t first = lines.size() - c.lastLines.size();
    for (size_t i = 0; i < c.lastLines.size(); ++i) {
      // The answer line is compared up to its memory configuration, which is the machine's.
      const std::string& expected = c.lastLines[i];
      EXPECT_EQ(lines[first + i].substr(0, expected.size()), expected);
    }
  }
}
