// A full jsondebug run of the run engine with the suite's five real programs and the graphics
// test's media beside it, the five outside graphics tests played by the fake child (each writes a
// four-line result file and succeeds). Under Wine no drive is found, so the outside drive
// benchmark is never asked for. The run takes minutes: the benchmarks measure in normal mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_run.h"

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

struct OutsideTest {
  const char* program;
  const char* scoreKey;
  const char* frameRate;
};
const OutsideTest outsideTests[] = {{"MELDRA", "dx09Tarvel", "21.5"},
                                    {"TOSK", "dx09Tosk", "22.5"},
                                    {"LUNE", "dx09Belmot", "23.5"},
                                    {"BRISQ", "dx10Yskar", "24.5"},
                                    {"KORAV", "dx10Orvanth", "25.5"}};

EngineRun RunWithAllPrograms() {
  EngineRunSetup setup;
  setup.word = "jsondebug";
  for (const char* program : {"CVNCPUBench.exe", "CVNRAMBench.exe", "CVNGPUStats.exe", "ZORTA.exe"})
    setup.programs[program] = program;
  for (const OutsideTest& test : outsideTests) {
    const std::string name = test.program;
    setup.programs[name + ".exe"] = "fake_child.exe";
    setup.files[name + ".script"] = "no-std-handles\nfile:" + name + ".dat:" + test.frameRate +
                                    "\\nframe statistics\\ndevice statistics\\nsamples\\n\n";
  }
  setup.graphicsTestMedia = true;
  return RunEngine(setup);
}

// Whether text is a decimal number above zero, as the benchmarks' figures are.
bool PositiveNumber(const json& value) {
  if (!value.is_string()) return false;
  const std::string text = value.get<std::string>();
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && number > 0;
}

std::vector<std::string> Keys(const ordered_json& object) {
  std::vector<std::string> keys;
  for (auto member = object.begin(); member != object.end(); ++member) keys.push_back(member.key());
  return keys;
}

class FullRun : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    run_ = new EngineRun(RunWithAllPrograms());
    stored_ = ordered_json::parse(run_->resultDocument, nullptr, false);
  }
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(run_->process.exitCode, 0) << run_->process.output;
    ASSERT_TRUE(run_->debugDocument.is_object()) << run_->process.output;
  }

  const json& Document() const { return run_->debugDocument; }
  // The one component whose componentInfo has this familyGroup; null when none or several.
  json Component(const std::string& familyGroup) const {
    json found;
    int count = 0;
    for (const json& component : Document()["components"]) {
      if (component.contains("componentInfo") &&
          component["componentInfo"].value("familyGroup", "") == familyGroup) {
        found = component;
        ++count;
      }
    }
    return count == 1 ? found : json();
  }

  static EngineRun* run_;
  static ordered_json stored_;  // "rawresults.dat", its members in the order written
};
EngineRun* FullRun::run_ = nullptr;
ordered_json FullRun::stored_;

TEST_F(FullRun, TheResultFileHoldsThePrintedDocumentInItsOrder) {
  ASSERT_TRUE(stored_.is_object()) << run_->resultDocument;
  EXPECT_EQ(json::parse(run_->resultDocument), Document());
  const std::vector<std::string> topLevel = {"systemInfo", "systemStates", "components", "logs"};
  EXPECT_EQ(Keys(stored_), topLevel);
  EXPECT_TRUE(run_->Printed("COMPLETED OK")) << run_->process.output;
}

TEST_F(FullRun, SystemInfoHoldsEveryFactThenDurationAndCrashFlag) {
  ASSERT_TRUE(stored_.is_object());
  std::vector<std::string> keys = Keys(stored_["systemInfo"]);
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[keys.size() - 2], "userRunDurationSecs");
  EXPECT_EQ(keys.back(), "clientCrashed");
  keys.resize(keys.size() - 2);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "the facts in ascending key order";

  const json& info = Document()["systemInfo"];
  for (const char* key :
       {"ambCPULoad", "bioName", "bioRelDate", "bioVersion", "compSysManu", "compSysModel",
        "cvnVersion", "freeRamGB", "gfxDesc", "gfxManu", "gfxModel", "mbManu", "mbModel",
        "mbSerial", "osName", "osVersion", "osspName", "ramFrequency", "smbiosFirmware",
        "smbiosVersion", "sys32Or64Bit", "sysUpTimeDays", "totalRamGB", "userRunTime"}) {
    EXPECT_TRUE(info.contains(key)) << key;
  }
  EXPECT_EQ(info["cvnVersion"], "2.97");
  EXPECT_EQ(info["compSysManu"], "The Wine Project");
  EXPECT_TRUE(PositiveNumber(info["totalRamGB"])) << info["totalRamGB"];
  EXPECT_EQ(info["clientCrashed"], "false");
  EXPECT_TRUE(PositiveNumber(info["userRunDurationSecs"])) << info["userRunDurationSecs"];
}

TEST_F(FullRun, TheCpuComponentHasItsFactsAndFifteenScores) {
  const json cpu = Component("Processor");
  ASSERT_TRUE(cpu.is_object()) << Document()["components"].dump(2);
  const json& info = cpu["componentInfo"];
  for (const char* key : {"phyModel", "socket", "actualClockFreq", "cpuID"})
    EXPECT_TRUE(info.contains(key)) << key;
  EXPECT_FALSE(info.value("phyModel", "").empty());
  for (const char* key : {"cpuCount", "cpuCores", "cpuThreads"})
    EXPECT_TRUE(PositiveNumber(info[key])) << key;

  ASSERT_EQ(cpu["benchmarks"].size(), 15u) << cpu["benchmarks"].dump(2);
  for (const char* threads : {"1", "2", "4", "8", "32"}) {
    for (const char* mode : {"Int", "Float", "Mixed"}) {
      const std::string key = std::string(threads) + "Core" + mode + "CPUBench";
      EXPECT_TRUE(PositiveNumber(cpu["benchmarks"][key])) << key;
    }
  }
  EXPECT_TRUE(run_->Printed("INFO: Completed CPU benchmarks"));
}

TEST_F(FullRun, TheRamComponentHasTheMemoryConfigurationAndNineThroughputFigures) {
  const json ram = Component("Memory Kit");
  ASSERT_TRUE(ram.is_object()) << Document()["components"].dump(2);
  for (const char* key : {"ramModulesTotal", "ramModulesUsed", "ramSMBTotalGB", "ramSticksAllSame"})
    EXPECT_TRUE(ram["componentInfo"].contains(key)) << key;

  const json& benchmarks = ram["benchmarks"];
  EXPECT_EQ(benchmarks.size(), 10u) << benchmarks.dump(2);
  for (const char* threads : {"1", "2", "16"}) {
    for (const char* mode : {"Read", "Write", "Mixed"}) {
      const std::string key = std::string(threads) + "Core" + mode + "RAMBench";
      EXPECT_TRUE(PositiveNumber(benchmarks[key])) << key;
    }
  }
  EXPECT_TRUE(PositiveNumber(benchmarks["Latency128MB"]));
  EXPECT_TRUE(run_->Printed("INFO: Completed RAM benchmarks"));
}

TEST_F(FullRun, TheLatencyStateHasNineteenSizesInOrder) {
  ASSERT_TRUE(stored_.is_object());
  ASSERT_EQ(stored_["systemStates"].size(), 1u);
  const ordered_json& state = stored_["systemStates"][0];
  EXPECT_EQ(state["stateInfo"]["stateType"], "latency");
  const std::vector<std::string> sizes = {"1KB",   "2KB",   "4KB",   "8KB",   "16KB",
                                          "32KB",  "64KB",  "128KB", "256KB", "512KB",
                                          "1MB",   "2MB",   "4MB",   "8MB",   "16MB",
                                          "32MB",  "64MB",  "128MB", "256MB"};
  EXPECT_EQ(Keys(state["stateData"]), sizes);
  // Above 1 MB the figures are corrected by the 1 MB one and may come out at or below zero.
  for (const char* size : {"1KB", "64KB", "1MB"})
    EXPECT_TRUE(PositiveNumber(json(state["stateData"][size]))) << size;
}

TEST_F(FullRun, TheGraphicsComponentHasStatisticsDisplayAndSixScores) {
  const json graphics = Component("Graphics Card");
  ASSERT_TRUE(graphics.is_object()) << run_->process.output;
  const json& info = graphics["componentInfo"];
  EXPECT_FALSE(info.value("phyModel", "").empty());
  EXPECT_TRUE(info.contains("gpuRamMB"));
  // The real GPU statistics child's members: the monitor behind Wine's one display.
  EXPECT_TRUE(info.contains("monHWName")) << info.dump(2);
  EXPECT_FALSE(info.contains("GPUSTATS_EXIT_CODE"));
  for (const char* key : {"dispHR", "dispVR", "dispRR"}) EXPECT_TRUE(PositiveNumber(info[key])) << key;
  EXPECT_EQ(info["dispWinOrdinal"], "1");
  EXPECT_EQ(info["dispMain"], "1");

  const json& scores = graphics["benchmarks"];
  ASSERT_EQ(scores.size(), 6u) << scores.dump(2) << run_->process.output;
  for (const OutsideTest& test : outsideTests) EXPECT_EQ(scores[test.scoreKey], test.frameRate);
  EXPECT_TRUE(PositiveNumber(scores["dx10Pellun"])) << "ZORTA's own frame rate";
  EXPECT_TRUE(run_->Printed("INFO: Completed GPU benchmarks"));
}

TEST_F(FullRun, EveryPhaseLogs) {
  const struct {
    const char* phase;
    const char* message;
  } cases[] = {
      {"system information", "INFO: Gathering Device Info"},
      {"CPU phase", "INFO: Starting CPU tests"},
      {"CPU child", "INFO: Launching CPU benchmark suite"},
      {"RAM phase", "INFO: Starting RAM tests"},
      {"RAM child", "INFO: Launching RAM benchmark suite"},
      {"drive phase", "INFO: Launching drive test suite"},
      {"graphics phase", "INFO: Starting GPU Benchmarks"},
      {"graphics phase end", "INFO: Completed GPU benchmarks"},
  };
  for (const auto& c : cases) EXPECT_TRUE(run_->Logged(c.message)) << c.phase;
  EXPECT_EQ(Document()["systemInfo"]["clientCrashed"], "false");
}

}  // namespace
