// CVNRAMBench as a process: the frame's lines and exit codes, and a whole fast-mode run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/exception_text.h"
#include "rambench/ram_configuration.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {

struct ChildRun {
  int exitCode;
  std::vector<std::string> lines;  // without their line ends
  bool crlf;                       // every line ended with CR LF
};

ChildRun RunRamBench(const std::string& args, const std::string& input) {
  TempDir dir;
  ProcessResult process = RunProgram(BinDir() + "\\CVNRAMBench.exe", args, input, dir.path());
  EXPECT_FALSE(process.timedOut);
  const ChildOutput output = CutChildOutput(process.output);
  return {process.exitCode, output.lines, output.crlf && output.unterminated.empty()};
}

std::string ParseErrorText(const std::string& text) {
  try {
    nlohmann::json parsed = nlohmann::json::parse(text);
    return parsed.dump();
  } catch (const std::exception& e) {
    return ExceptionText(e);
  }
  return "";
}

std::string BooleanErrorText() {
  try {
    nlohmann::json(1).get<bool>();
  } catch (const std::exception& e) {
    return ExceptionText(e);
  }
  return "";
}

// The memory-configuration lines of this machine, as the child prints them.
std::vector<std::string> ConfigurationLines() {
  nlohmann::json result;
  std::ostringstream out;
  CheckRamConfiguration(result, out);
  return SplitLines(out.str());
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return i;
  }
  return lines.size();
}

std::vector<std::string> Keys(const nlohmann::json& entries) {
  std::vector<std::string> keys;
  for (const auto& entry : entries) keys.push_back(entry.begin().key());
  return keys;
}

const std::vector<std::string> kLatencyLabels = {
    "1KB", "2KB", "4KB", "8KB", "16KB", "32KB", "64KB", "128KB", "256KB", "512KB",
    "1MB", "2MB", "4MB", "8MB", "16MB", "32MB", "64MB", "128MB", "256MB"};

TEST(RamBenchProcess, RequestsThatEndBeforeTheBenchmarks) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
  };
  const std::string launching = "B: INFO: Launching RAM benchmark suite";
  const Case cases[] = {
      {"empty input", "", {"B: ERROR: Unexpected " + ParseErrorText("")}},
      {"a blank inside the request: only the first token is read",
       "{\"RAM_RUNFAST_DEV\": false}",
       {"B: ERROR: Unexpected " + ParseErrorText("{\"RAM_RUNFAST_DEV\":")}},
      {"an object without the key", "{}", {"S: ERROR: Invalid RAM benchmark requested"}},
      {"not an object", "[true]", {"S: ERROR: Invalid RAM benchmark requested"}},
      {"a number for the flag",
       "{\"RAM_RUNFAST_DEV\":1}",
       Concat(Concat({launching}, ConfigurationLines()),
              {"B: ERROR: Unexpected " + BooleanErrorText()})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChildRun run = RunRamBench("", c.input);
    EXPECT_EQ(run.exitCode, 66);
    EXPECT_EQ(run.lines, c.lines);
    EXPECT_TRUE(run.crlf);
  }
}

TEST(RamBenchProcess, FastRunAnswersInOrder) {
  ChildRun run = RunRamBench("", "{\"RAM_RUNFAST_DEV\":true}");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.crlf);
  const std::vector<std::string>& lines = run.lines;
  ASSERT_GE(lines.size(), 2u);

  std::vector<std::string> configuration = ConfigurationLines();
  ASSERT_FALSE(configuration.empty());
  EXPECT_EQ(configuration[0], "C: INFO: Checking RAM configuration");
  std::vector<std::string> expectedStart =
      Concat(Concat({"B: INFO: Launching RAM benchmark suite"}, configuration),
             {"S: WARN: RAM_RUNFAST_DEV mode", "B: INFO: Running 1 core RAM benchmark ..."});
  ASSERT_GE(lines.size(), expectedStart.size() + 3);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expectedStart.size()),
            expectedStart);
  size_t next = expectedStart.size();
  for (const char* mode : {"Read", "Write", "Mixed"}) {
    EXPECT_TRUE(StartsWith(lines[next++], std::string("C: INFO: 1Core ") + mode +
                                              " total throughput: "));
  }
  ASSERT_LT(next, lines.size());
  EXPECT_EQ(lines[next++], "B: INFO: Running system latency tests ...");
  size_t transitions = 0;
  for (const std::string& label : kLatencyLabels) {
    ASSERT_LT(next, lines.size());
    if (StartsWith(lines[next], "S: INFO: Transitioned into physical ram at " + label + ", ")) {
      ++transitions;
      ++next;
    }
    ASSERT_LT(next, lines.size());
    EXPECT_TRUE(StartsWith(lines[next], "C: INFO: " + label + " memory latency: ")) << lines[next];
    EXPECT_EQ(lines[next].substr(lines[next].size() - 3), " ns");
    ++next;
  }
  EXPECT_LE(transitions, 1u);
  ASSERT_EQ(lines.size(), next + 2);
  EXPECT_EQ(lines[next], "B: INFO: Exiting RAM benchmark suite");
  ASSERT_TRUE(StartsWith(lines[next + 1], "R: "));

  nlohmann::json answer = nlohmann::json::parse(lines[next + 1].substr(3));
  EXPECT_EQ(answer.dump(), lines[next + 1].substr(3));  // compact, keys sorted
  EXPECT_EQ(Keys(answer["benchmarks"]),
            (std::vector<std::string>{"1CoreReadRAMBench", "1CoreWriteRAMBench",
                                      "1CoreMixedRAMBench", "Latency128MB"}));
  for (const auto& entry : answer["benchmarks"]) EXPECT_TRUE(entry.begin().value().is_number());
  EXPECT_EQ(Keys(answer["stateData"]), kLatencyLabels);
  for (const auto& entry : answer["stateData"]) EXPECT_TRUE(entry.begin().value().is_string());
  // The same figure as text and as number (a whole number reads "234" and dumps as 234.0).
  EXPECT_DOUBLE_EQ(std::stod(answer["stateData"][17]["128MB"].get<std::string>()),
                   answer["benchmarks"][3]["Latency128MB"].get<double>());
  ASSERT_TRUE(answer.contains("componentInfo"));
  EXPECT_EQ(answer["componentInfo"][0], (nlohmann::json{{"familyGroup", "Memory Kit"}}));
}

TEST(RamBenchProcess, RunfastJsondebugDebugRun) {
  ChildRun run = RunRamBench("runfast jsondebug", "");
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<std::string>& lines = run.lines;
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "S: WARN: Running in fast mode");
  EXPECT_EQ(lines[1], "S: Running in jsondebug mode");
  EXPECT_EQ(lines[2], "B: INFO: Launching RAM benchmark suite");
  EXPECT_EQ(IndexOf(lines, "S: WARN: RAM_RUNFAST_DEV mode"), lines.size());
  for (const std::string& line : lines) {
    EXPECT_FALSE(StartsWith(line, "C: INFO: 1Core")) << line;
    EXPECT_FALSE(StartsWith(line, "B: INFO: Running")) << line;
    EXPECT_FALSE(StartsWith(line, "S: INFO: Transitioned")) << line;
  }
  size_t header = IndexOf(lines, "Latency\tKBytes\tMillis\tCruftms\tIterations\tL3ADJ\tARRAY_LEN");
  ASSERT_LT(header + 19, lines.size());
  for (size_t i = 0; i < 19; ++i) {
    const std::string& row = lines[header + 1 + i];
    EXPECT_TRUE(StartsWith(row, kLatencyLabels[i] + "\t")) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 6) << row;
  }
  size_t exiting = IndexOf(lines, "B: INFO: Exiting RAM benchmark suite");
  ASSERT_LT(exiting + 2, lines.size());
  EXPECT_TRUE(StartsWith(lines[exiting + 1], "R: "));
  EXPECT_EQ(lines[exiting + 2], "COMPLETED OK - WAITING FOR INPUT");
  nlohmann::json answer = nlohmann::json::parse(lines[exiting + 1].substr(3));
  EXPECT_EQ(answer["benchmarks"].size(), 4u);
  EXPECT_EQ(Keys(answer["stateData"]), kLatencyLabels);
}
}  // namespace
