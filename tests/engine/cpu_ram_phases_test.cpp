// The CPU and RAM phases as a real run of the engine sees them: the engine runs in a fresh folder
// with the fake child beside it under the benchmark children's names, each following its script.
#include <gtest/gtest.h>

#include <iostream>

#include <nlohmann/json.hpp>

#include "tests/support/engine_run.h"

namespace {

using nlohmann::json;

// The engine with the fake child beside it under both children's names, each following its script.
EngineRun RunWithScripts(const std::string& cpuScript, const std::string& ramScript) {
  EngineRunSetup setup;
  setup.word = "jsondebug";
  setup.programs = {{"CVNCPUBench.exe", "fake_child.exe"}, {"CVNRAMBench.exe", "fake_child.exe"}};
  setup.files = {{"CVNCPUBench.script", cpuScript}, {"CVNRAMBench.script", ramScript}};
  return RunEngine(setup);
}

// The component that carries the given componentInfo key, or null.
json ComponentWith(const EngineRun& run, const std::string& infoKey) {
  for (const json& component : run.debugDocument["components"]) {
    if (component.is_object() && component.contains("componentInfo") &&
        component["componentInfo"].contains(infoKey)) {
      return component;
    }
  }
  return nullptr;
}

// A CPU child that floods standard error with about 300 MB of short lines before its answer: the
// run log keeps only the child's share, says once what it dropped, and the answer still counts.
TEST(CpuRamPhases, AFloodOfShortLinesCostsOnlyWhatPassesTheLogsCaps) {
  const std::string flood = "S: flood 0123456789012345678901234567890123456789";  // 51 bytes, CR LF
  const unsigned long floodLines = 6000000;
  EngineRun run = RunWithScripts(
      "stderr-repeat:" + std::to_string(floodLines) + ":" + flood + "\n" +
          "line:R: {\"benchmarks\":[{\"intScore\":7}],"
          "\"componentInfo\":[{\"cvnVersion\":\"1\"}]}\n",
      "line:R: {\"benchmarks\":[{\"1CoreReadRAMBench\":12}]}\n");
  std::cout << "engine peak working set " << run.process.peakWorkingSetBytes / 1000000
            << " MB, peak pagefile use " << run.process.peakPagefileBytes / 1000000 << " MB\n";
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output.substr(0, 2000);
  ASSERT_FALSE(run.resultDocument.empty());
  const json document = json::parse(run.resultDocument, nullptr, false);
  ASSERT_TRUE(document.is_object());

  EXPECT_EQ(document["components"][0]["benchmarks"], json({{"intScore", "7"}}));
  EXPECT_TRUE(run.Printed("INFO: Completed CPU benchmarks"));
  EXPECT_TRUE(run.Printed("INFO: Completed RAM benchmarks"));
  int dropLines = 0;
  size_t floodLogged = 0;
  for (const json& line : document["logs"]) {
    const std::string text = line.get<std::string>();
    if (text.find("dropped") != std::string::npos) ++dropLines;
    if (text.find(flood.substr(3)) != std::string::npos) ++floodLogged;
  }
  EXPECT_EQ(dropLines, 1);
  EXPECT_GT(floodLogged, 0u);
  EXPECT_LT(floodLogged, floodLines / 100);
}

TEST(CpuRamPhases, MergeBothAnswersAndTheLatencyState) {
  EngineRun run = RunWithScripts(
      "request:S: cpu request \n"
      "line:C: cpu progress\n"
      "line:R: {\"benchmarks\":[{\"intScore\":95.3},{\"fpScore\":95.0},{\"big\":1e21},"
      "{\"read.speed\":12}],\"componentInfo\":[{\"cvnVersion\":\"1.0\"}]}\n",
      "request:S: ram request \n"
      "line:R: {\"benchmarks\":[{\"1CoreReadRAMBench\":1234.5}],"
      "\"componentInfo\":[{\"familyGroup\":\"DDR4\"}],"
      "\"stateData\":[{\"1KB\":\"1.5\"},{\"2KB\":\"1.6\"}]}\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  for (const char* line : {"INFO: Starting CPU tests", "cpu progress", "INFO: Completed CPU benchmarks",
                           "INFO: Starting RAM tests", "INFO: Completed RAM benchmarks"}) {
    EXPECT_TRUE(run.Printed(line)) << line;
  }
  EXPECT_TRUE(run.Logged("cpu request {\"CPU_RUNFAST_DEV\":false}"));
  EXPECT_TRUE(run.Logged("ram request {\"RAM_RUNFAST_DEV\":false}"));

  const json& cpu = run.debugDocument["components"][0];
  EXPECT_EQ(cpu["componentInfo"]["cvnVersion"], "\"1.0\"");  // CPU info keeps JSON text
  const json expectedCpuBenchmarks = {
      {"intScore", "95.3"}, {"fpScore", "95"}, {"big", "1e+21"}, {"read", {{"speed", "12"}}}};
  EXPECT_EQ(cpu["benchmarks"], expectedCpuBenchmarks);

  const json& ram = run.debugDocument["components"][1];
  const json expectedRam = {{"componentInfo", {{"familyGroup", "DDR4"}}},
                            {"benchmarks", {{"1CoreReadRAMBench", "1234.5"}}}};
  EXPECT_EQ(ram, expectedRam);

  const json expectedStates = json::array(
      {{{"stateInfo", {{"stateType", "latency"}}}, {"stateData", {{"1KB", "1.5"}, {"2KB", "1.6"}}}}});
  EXPECT_EQ(run.debugDocument["systemStates"], expectedStates);
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "false");
}

TEST(CpuRamPhases, AnswersWithoutBenchmarks) {
  EngineRun run = RunWithScripts("line:R: {\"componentInfo\":[{\"cvnVersion\":\"2\"}]}\n",
                            "line:R: {\"componentInfo\":[{\"ramModuleTag\":\"DDR5\"}],"
                            "\"stateData\":[{\"1KB\":\"1.5\"}]}\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  EXPECT_FALSE(run.Printed("INFO: Completed CPU benchmarks"));
  EXPECT_FALSE(run.Printed("INFO: Completed RAM benchmarks"));
  const json& cpu = run.debugDocument["components"][0];
  EXPECT_EQ(cpu["componentInfo"]["cvnVersion"], "\"2\"");
  EXPECT_FALSE(cpu.contains("benchmarks"));
  EXPECT_TRUE(ComponentWith(run, "ramModuleTag").is_null()) << "RAM component without benchmarks";
  EXPECT_EQ(run.debugDocument["systemStates"][0]["stateData"], json({{"1KB", "1.5"}}));
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "false");
}

TEST(CpuRamPhases, FailingAnswersAreLoggedAndMarkTheRunCrashed) {
  const std::string ramReply =
      "{\"componentInfo\":[{\"ramModuleTag\":\"DDR4\"},{\"size\":16}],\"stateData\":[{\"1KB\":\"1.5\"}],"
      "\"benchmarks\":[{\"1CoreReadRAMBench\":1}]}";
  EngineRun run = RunWithScripts("line:R: not json\n", "line:R: " + ramReply + "\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  bool cpuErrorPrinted = false;
  for (const std::string& line : SplitLines(run.process.output)) {
    // The JSON library's text without its "[json.exception...] " head, as in the children's lines.
    const std::string head = "ERROR: CPUBench failed with error: parse error at line 1, column 2: ";
    if (line.rfind(head, 0) == 0 && line.find(" (not json)") != std::string::npos) cpuErrorPrinted = true;
  }
  EXPECT_TRUE(cpuErrorPrinted) << run.process.output;
  const std::string ramError = "ERROR: RAMBench failed with error: "
                               "type must be string, but is number (" +
                               ramReply + ")";
  EXPECT_TRUE(run.Printed(ramError)) << run.process.output;
  EXPECT_TRUE(run.Logged(ramError));

  // The CPU component is still first: the collector's facts only, no benchmarks.
  const json& first = run.debugDocument["components"][0];
  EXPECT_TRUE(first == "" || (first.is_object() && !first.contains("benchmarks"))) << first;
  EXPECT_TRUE(ComponentWith(run, "ramModuleTag").is_null()) << "failed RAM component dropped";
  EXPECT_EQ(run.debugDocument["systemStates"][0]["stateData"], json({{"1KB", "1.5"}}));
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "true");
}

// Children that write their texts in Latin-1: the answers are merged with those bytes as their
// Latin-1 characters, as text (RAM) and as JSON text (CPU).
TEST(CpuRamPhases, AnswersWithLatin1BytesAreMerged) {
  EngineRun run = RunWithScripts(
      "line:R: {\"componentInfo\":[{\"cvnVersion\":\"Caf\xE9\"}],\"benchmarks\":[{\"intScore\":1}]}\n",
      "line:R: {\"benchmarks\":[{\"1CoreReadRAMBench\":2}],"
      "\"componentInfo\":[{\"ramMaker\":\"Maker\xE9 PN\xFF\"}],\"stateData\":[{\"1KB\":\"1.5\"}]}\n");
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  const json& cpu = run.debugDocument["components"][0];
  EXPECT_EQ(cpu["componentInfo"]["cvnVersion"], "\"Caf\xC3\xA9\"");
  EXPECT_EQ(cpu["benchmarks"], json({{"intScore", "1"}}));
  const json ram = ComponentWith(run, "ramMaker");
  ASSERT_TRUE(ram.is_object()) << run.process.output;
  EXPECT_EQ(ram["componentInfo"]["ramMaker"], "Maker\xC3\xA9 PN\xC3\xBF");
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "false");
}

// One odd answer costs only its own phase: the run writes a decodable file with every other phase.
TEST(CpuRamPhases, ADeepOrDottedAnswerCostsOnlyItsPhase) {
  const std::string goodCpu =
      "line:R: {\"benchmarks\":[{\"intScore\":9}],\"componentInfo\":[{\"cvnVersion\":\"1\"}]}\n";
  const std::string goodRam =
      "line:R: {\"benchmarks\":[{\"1CoreReadRAMBench\":12}],\"stateData\":[{\"1KB\":\"1.5\"}]}\n";
  const std::string deep = std::string(2000, '[') + std::string(2000, ']');
  struct Case {
    const char* what;
    std::string cpuScript, ramScript;
    std::string error;  // the phase's error line starts with it
    bool cpuBenchmarks, ramComponent;
  } const cases[] = {
      {"a CPU answer 2000 levels deep", "line:R: {\"benchmarks\":[{\"x\":" + deep + "}]}\n", goodRam,
       "ERROR: CPUBench failed with error: reply nested deeper than 256 levels (", false, true},
      {"a RAM answer with a and then a.b", goodCpu,
       "line:R: {\"benchmarks\":[{\"a\":1},{\"a.b\":2}],\"stateData\":[{\"1KB\":\"1.5\"}]}\n",
       "ERROR: RAMBench failed with error: key a.b extends the value under a (", true, false},
  };
  for (const Case& c : cases) {
    EngineRun run = RunWithScripts(c.cpuScript, c.ramScript);
    ASSERT_EQ(run.process.exitCode, 0) << c.what << "\n" << run.process.output;
    const json document = json::parse(run.resultDocument, nullptr, false);
    ASSERT_TRUE(document.is_object()) << c.what << "\n" << run.process.output;
    EXPECT_EQ(document, run.debugDocument) << c.what;

    int errors = 0;
    for (const std::string& line : SplitLines(run.process.output)) {
      if (line.rfind("ERROR: ", 0) == 0 && line.find(" failed with error: ") != std::string::npos) {
        ++errors;
        EXPECT_EQ(line.rfind(c.error, 0), 0u) << c.what << ": " << line;
      }
    }
    EXPECT_EQ(errors, 1) << c.what << "\n" << run.process.output;
    EXPECT_EQ(document["systemInfo"]["clientCrashed"], "true") << c.what;
    EXPECT_GT(document["systemInfo"].size(), 2u) << c.what;  // the collector's facts too
    EXPECT_EQ(document["components"][0].contains("benchmarks"), c.cpuBenchmarks) << c.what;
    bool ramComponent = false;
    for (const json& component : document["components"]) {
      ramComponent = ramComponent || (component.is_object() && component.contains("benchmarks") &&
                                      component["benchmarks"].contains("1CoreReadRAMBench"));
    }
    EXPECT_EQ(ramComponent, c.ramComponent) << c.what;
    EXPECT_EQ(document["systemStates"][0]["stateData"], json({{"1KB", "1.5"}})) << c.what;
    bool graphics = false;
    for (const json& component : document["components"]) {
      graphics = graphics || (component.is_object() && component.contains("componentInfo") &&
                              component["componentInfo"].value("familyGroup", "") == "Graphics Card");
    }
    EXPECT_TRUE(graphics) << c.what;
  }
}

}  // namespace
