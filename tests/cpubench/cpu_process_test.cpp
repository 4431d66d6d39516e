// CVNCPUBench as the run engine starts it: request on standard input, message lines back.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {
ProcessResult RunCpuBench(const std::string& request, const std::string& args = "") {
  TempDir dir;
  return RunProgram(BinDir() + "\\CVNCPUBench.exe", args, request, dir.path(), 120000);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& l : lines)
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}
}  // namespace

TEST(CpuBenchProcess, InvalidRequestsGetNoAnswer) {
  struct Case {
    const char* request;
    const char* line;
  } const cases[] = {
      {"{}", "S: ERROR: Invalid CPU benchmark requested\r"},
      {"[true]", "S: ERROR: Invalid CPU benchmark requested\r"},
      {"{\"RAM_RUNFAST_DEV\":false}", "S: ERROR: Invalid CPU benchmark requested\r"},
      {"{\"CPU_RUNFAST_DEV\":1}", "B: ERROR Unexpected type must be boolean, but is number\r"},
      {"", "B: ERROR Unexpected "},
  };
  for (const Case& c : cases) {
    const ProcessResult run = RunCpuBench(c.request);
    ASSERT_FALSE(run.timedOut) << c.request;
    const std::vector<std::string> lines = SplitLines(run.output);
    EXPECT_EQ(run.exitCode, 1) << c.request;
    EXPECT_TRUE(HasLineStarting(lines, c.line)) << c.request << "\n" << run.output;
    EXPECT_FALSE(HasLineStarting(lines, "R: ")) << c.request << "\n" << run.output;
  }
}

TEST(CpuBenchProcess, FastRunAnswersSixScores) {
  const ProcessResult run = RunCpuBench("{\"CPU_RUNFAST_DEV\":true}");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = SplitLines(run.output);
  // Every line in its place; the counter line only where the counter cannot be read.
  std::vector<std::string> expected = {"B: INFO: Launching CPU benchmark suite\r",
                                       "S: WARN: CPU_RUNFAST_DEV mode\r"};
  if (HasLine(lines, "B: INFO: Unable to detect maximum CPU Frequency\r"))
    expected.push_back("B: INFO: Unable to detect maximum CPU Frequency\r");
  for (const char* threads : {"1", "2"}) {
    expected.push_back(std::string("B: INFO: Running ") + threads + " core CPU benchmark ...\r");
    for (const char* mode : {"Int", "Float", "Mixed"})
      expected.push_back(std::string("C: INFO: ") + threads + "Core " + mode + " total throughput: ");
  }
  expected.push_back("B: INFO: Exiting CPU benchmark suite\r");
  expected.push_back("R: ");
  ASSERT_EQ(lines.size(), expected.size()) << run.output;
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(lines[i].rfind(expected[i], 0), 0u) << "line " << i << ": " << lines[i];

  const std::string& last = lines.back();
  ASSERT_EQ(last.rfind("R: ", 0), 0u) << run.output;
  ASSERT_EQ(last.back(), '\r');
  const nlohmann::json answer = nlohmann::json::parse(last.substr(3, last.size() - 4));
  const char* const keys[] = {"1CoreIntCPUBench", "1CoreFloatCPUBench", "1CoreMixedCPUBench",
                              "2CoreIntCPUBench", "2CoreFloatCPUBench", "2CoreMixedCPUBench"};
  ASSERT_EQ(answer["benchmarks"].size(), 6u) << last;
  for (size_t i = 0; i < 6; ++i) {
    const nlohmann::json& entry = answer["benchmarks"][i];
    ASSERT_TRUE(entry.contains(keys[i])) << last;
    EXPECT_TRUE(entry[keys[i]].is_number()) << last;
  }
  // Under Wine the processor-performance counter is missing: the run must say so and go on.
  if (HasLine(lines, "B: INFO: Unable to detect maximum CPU Frequency\r")) {
    EXPECT_FALSE(answer.contains("componentInfo")) << last;
  } else {
    EXPECT_TRUE(answer["componentInfo"][0]["maxCPUFreqPerc"].is_number()) << last;
  }
}

TEST(CpuBenchProcess, RunfastJsondebugRunsTheBuiltInFastRequest) {
  // Nothing on standard input: the debug run asks itself for the fast mode.
  const ProcessResult run = RunCpuBench("", "runfast jsondebug");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = SplitLines(run.output);
  ASSERT_GE(lines.size(), 3u) << run.output;
  EXPECT_EQ(lines[0], "S: WARN: Running in fast mode\r");
  EXPECT_EQ(lines[1], "S: WARN: Running in jsondebug mode\r");
  EXPECT_EQ(lines[2], "B: INFO: Launching CPU benchmark suite\r");
  EXPECT_FALSE(HasLine(lines, "S: WARN: CPU_RUNFAST_DEV mode\r")) << run.output;
  EXPECT_FALSE(HasLineStarting(lines, "B: INFO: Running ")) << run.output;
  EXPECT_FALSE(HasLineStarting(lines, "C: ")) << run.output;

  // The scores stand alone on plain lines, then the usual ending and the pause (whose own prompt
  // may follow).
  size_t exiting = 0;
  while (exiting < lines.size() && lines[exiting] != "B: INFO: Exiting CPU benchmark suite\r")
    ++exiting;
  ASSERT_LE(exiting + 3, lines.size()) << run.output;
  ASSERT_GE(exiting, 6u);
  for (size_t i = exiting - 6; i < exiting; ++i) {
    size_t used = 0;
    EXPECT_GT(std::stod(lines[i], &used), 0.0) << lines[i];
    EXPECT_EQ(used + 1, lines[i].size()) << lines[i];
  }
  EXPECT_EQ(lines[exiting + 1].rfind("R: ", 0), 0u);
  EXPECT_EQ(lines[exiting + 2], "COMPLETED OK - WAITING FOR INPUT\r");
  const std::string& answer = lines[exiting + 1];
  EXPECT_EQ(nlohmann::json::parse(answer.substr(3, answer.size() - 4))["benchmarks"].size(), 6u);
}
