// The CPU and RAM phases as a real run of the engine sees them: the engine runs in a fresh folder
// with the fake child beside it under the benchmark children's names, each following its script.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {

using nlohmann::json;

struct EngineRun {
  ProcessResult process;
  json document;  // the document printed in jsondebug mode
};

EngineRun RunEngine(const std::string& cpuScript, const std::string& ramScript) {
  TempDir dir;
  dir.Copy(BinDir() + "\\CorvanaRunEngine.exe", "CorvanaRunEngine.exe");
  dir.Copy(BinDir() + "\\fake_child.exe", "CVNCPUBench.exe");
  dir.Copy(BinDir() + "\\fake_child.exe", "CVNRAMBench.exe");
  dir.Write("CVNCPUBench.script", cpuScript);
  dir.Write("CVNRAMBench.script", ramScript);

  EngineRun run;
  run.process = RunProgram(dir.File("CorvanaRunEngine.exe"), "jsondebug", "\r\n", dir.path());
  const std::string& out = run.process.output;
  size_t open = out.find("DEBUG ADMIN JSON");
  size_t close = out.find("END DEBUG ADMIN JSON");
  if (open != std::string::npos && close != std::string::npos) {
    size_t from = out.find('\n', open);
    size_t to = out.rfind('\n', close);
    run.document = json::parse(out.substr(from, to - from), nullptr, false);
  }
  return run;
}

bool Printed(const EngineRun& run, const std::string& line) {
  for (std::string printed : SplitLines(run.process.output)) {
    if (!printed.empty() && printed.back() == '\r') printed.pop_back();
    if (printed == line) return true;
  }
  return false;
}

bool Logged(const EngineRun& run, const std::string& message) {
  for (const json& line : run.document["logs"]) {
    const std::string text = line.get<std::string>();
    if (text.size() >= message.size() &&
        text.compare(text.size() - message.size(), message.size(), message) == 0) {
      return true;
    }
  }
  return false;
}

// The component that carries the given componentInfo key, or null.
json ComponentWith(const EngineRun& run, const std::string& infoKey) {
  for (const json& component : run.document["components"]) {
    if (component.is_object() && component.contains("componentInfo") &&
        component["componentInfo"].contains(infoKey)) {
      return component;
    }
  }
  return nullptr;
}

TEST(CpuRamPhases, MergeBothAnswersAndTheLatencyState) {
  EngineRun run = RunEngine(
      "request:S: cpu request \n"
      "line:C: cpu progress\n"
      "line:R: {\"benchmarks\":[{\"intScore\":95.3},{\"fpScore\":95.0},{\"big\":1e21},"
      "{\"read.speed\":12}],\"componentInfo\":[{\"cvnVersion\":\"1.0\"}]}\n",
      "request:S: ram request \n"
      "line:R: {\"benchmarks\":[{\"1CoreReadRAMBench\":1234.5}],"
      "\"componentInfo\":[{\"familyGroup\":\"DDR4\"}],"
      "\"stateData\":[{\"1KB\":\"1.5\"},{\"2KB\":\"1.6\"}]}\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  for (const char* line : {"INFO: Starting CPU tests", "cpu progress", "INFO: Completed CPU benchmarks",
                           "INFO: Starting RAM tests", "INFO: Completed RAM benchmarks"}) {
    EXPECT_TRUE(Printed(run, line)) << line;
  }
  EXPECT_TRUE(Logged(run, "cpu request {\"CPU_RUNFAST_DEV\":false}"));
  EXPECT_TRUE(Logged(run, "ram request {\"RAM_RUNFAST_DEV\":false}"));

  const json& cpu = run.document["components"][0];
  EXPECT_EQ(cpu["componentInfo"]["cvnVersion"], "\"1.0\"");  // CPU info keeps JSON text
  const json expectedCpuBenchmarks = {
      {"intScore", "95.3"}, {"fpScore", "95"}, {"big", "1e+21"}, {"read", {{"speed", "12"}}}};
  EXPECT_EQ(cpu["benchmarks"], expectedCpuBenchmarks);

  const json& ram = run.document["components"][1];
  const json expectedRam = {{"componentInfo", {{"familyGroup", "DDR4"}}},
                            {"benchmarks", {{"1CoreReadRAMBench", "1234.5"}}}};
  EXPECT_EQ(ram, expectedRam);

  const json expectedStates = json::array(
      {{{"stateInfo", {{"stateType", "latency"}}}, {"stateData", {{"1KB", "1.5"}, {"2KB", "1.6"}}}}});
  EXPECT_EQ(run.document["systemStates"], expectedStates);
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "false");
}

TEST(CpuRamPhases, AnswersWithoutBenchmarks) {
  EngineRun run = RunEngine("line:R: {\"componentInfo\":[{\"cvnVersion\":\"2\"}]}\n",
                            "line:R: {\"componentInfo\":[{\"ramModuleTag\":\"DDR5\"}],"
                            "\"stateData\":[{\"1KB\":\"1.5\"}]}\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  EXPECT_FALSE(Printed(run, "INFO: Completed CPU benchmarks"));
  EXPECT_FALSE(Printed(run, "INFO: Completed RAM benchmarks"));
  const json& cpu = run.document["components"][0];
  EXPECT_EQ(cpu["componentInfo"]["cvnVersion"], "\"2\"");
  EXPECT_FALSE(cpu.contains("benchmarks"));
  EXPECT_TRUE(ComponentWith(run, "ramModuleTag").is_null()) << "RAM component without benchmarks";
  EXPECT_EQ(run.document["systemStates"][0]["stateData"], json({{"1KB", "1.5"}}));
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "false");
}

TEST(CpuRamPhases, FailingAnswersAreLoggedAndMarkTheRunCrashed) {
  const std::string ramReply =
      "{\"componentInfo\":[{\"ramModuleTag\":\"DDR4\"},{\"size\":16}],\"stateData\":[{\"1KB\":\"1.5\"}],"
      "\"benchmarks\":[{\"1CoreReadRAMBench\":1}]}";
  EngineRun run = RunEngine("line:R: not json\n", "line:R: " + ramReply + "\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  bool cpuErrorPrinted = false;
  for (const std::string& line : SplitLines(run.process.output)) {
    const std::string head = "ERROR: CPUBench failed with error: [json.exception.parse_error";
    if (line.rfind(head, 0) == 0 && line.find(" (not json)") != std::string::npos) cpuErrorPrinted = true;
  }
  EXPECT_TRUE(cpuErrorPrinted) << run.process.output;
  const std::string ramError = "ERROR: RAMBench failed with error: "
                               "[json.exception.type_error.302] type must be string, but is number (" +
                               ramReply + ")";
  EXPECT_TRUE(Printed(run, ramError)) << run.process.output;
  EXPECT_TRUE(Logged(run, ramError));

  // The CPU component is still first: the collector's facts only, no benchmarks.
  const json& first = run.document["components"][0];
  EXPECT_TRUE(first == "" || (first.is_object() && !first.contains("benchmarks"))) << first;
  EXPECT_TRUE(ComponentWith(run, "ramModuleTag").is_null()) << "failed RAM component dropped";
  EXPECT_EQ(run.document["systemStates"][0]["stateData"], json({{"1KB", "1.5"}}));
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "true");
}

}  // namespace
