// The graphics phase on made-up video controllers and Direct3D 9 adapters: which display stands
// for which controller, what the GPU statistics answer adds, and the phase's own crash flag.
#include "engine/benchdrive/gpu_benchmarks.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/benchdrive/adapter_choice.h"
#include "engine/child_time_limits.h"
#include "engine/phases.h"
#include "tests/support/output_watch.h"

namespace {

struct FakeAdapter {
  std::string description;
  MonitorFacts monitor;
};

class FakeAdapters : public DisplayAdapters {
 public:
  FakeAdapters(std::vector<FakeAdapter> adapters, bool available = true)
      : adapters_(std::move(adapters)), available_(available) {}
  bool Available() const override { return available_; }
  unsigned Count() const override { return static_cast<unsigned>(adapters_.size()); }
  AdapterIdentity Identify(unsigned ordinal) const override {
    return {"driver" + std::to_string(ordinal) + ".dll", adapters_.at(ordinal).description};
  }
  MonitorFacts Monitor(unsigned ordinal) const override { return adapters_.at(ordinal).monitor; }
  int RefreshRate(const std::string& deviceName) const override {
    return deviceName.empty() ? 0 : 60;
  }

 private:
  std::vector<FakeAdapter> adapters_;
  bool available_;
};

MonitorFacts Display(int number, bool primary) {
  return {primary, 1920, 1080, "\\\\.\\DISPLAY" + std::to_string(number)};
}

TEST(ChooseAdapterOrdinal, PicksTheDisplayOfTheCaption) {
  struct Case {
    const char* name;
    std::vector<FakeAdapter> adapters;
    int ordinal;
    bool main;
    const char* compared;
  };
  const Case cases[] = {
      {"one adapter on two displays, the second primary",
       {{"Card", Display(1, false)}, {"Card", Display(2, true)}},
       1,
       true,
       "Card|Card|"},
      {"one adapter on two secondary displays: the lowest",
       {{"Other", Display(1, true)}, {"Card", Display(2, false)}, {"Card", Display(3, false)}},
       1,
       false,
       "Other|Card|Card|"},
      {"the primary stops the scan",
       {{"Card", Display(1, true)}, {"Card", Display(2, false)}},
       0,
       true,
       "Card|"},
      {"blanks around the description", {{"  Card \t", Display(1, true)}}, 0, true, "Card|"},
      {"letter case differs", {{"CARD", Display(1, true)}}, -1, false, "CARD|"},
      {"a longer name", {{"Card 2", Display(1, true)}}, -1, false, "Card 2|"},
      {"a monitor that could not be read is not primary",
       {{"Card", Display(1, false)}, {"Card", MonitorFacts()}},
       0,
       false,
       "Card|Card|"},
      {"no adapter", {}, -1, false, ""},
  };
  for (const Case& c : cases) {
    const ChosenDisplay chosen = ChooseAdapterOrdinal("Card", FakeAdapters(c.adapters));
    EXPECT_EQ(chosen.adapterOrdinal, c.ordinal) << c.name;
    EXPECT_EQ(chosen.isMainDisplay, c.main) << c.name;
    EXPECT_EQ(chosen.comparedNames, c.compared) << c.name;
  }
}

WmiRow Controller(const std::string& caption, const std::string& ram = "4293918720") {
  return {{"PNPDeviceID", "PCI\\VEN_" + caption},
          {"Caption", caption},
          {"AdapterRAM", ram},
          {"InstalledDisplayDrivers", "drv.dll"},
          {"DriverVersion", "30.0"},
          {"DriverDate", "20240101"},
          {"VideoProcessor", "proc"},
          {"VideoModeDescription", "1920 x 1080"},
          {"Availability", "3"}};
}

// The GPU statistics child's answers, by the display asked about, and the requests it got.
std::map<std::string, std::string> gpuStatsAnswers;
std::vector<std::string> gpuStatsRequests;
std::string FakeGpuStats(const std::string& commandLine, const std::string& requestText,
                         DWORD timeLimitMs) {
  EXPECT_EQ(commandLine, "CVNGPUStats.exe");
  EXPECT_EQ(timeLimitMs, kGpuStatsTimeLimitMs);
  gpuStatsRequests.push_back(requestText);
  const std::string display = nlohmann::json::parse(requestText)["GPUSTATS_TARGETDISPLAY"];
  return gpuStatsAnswers.at(display);
}

// The phase on made-up controllers and adapters; the tests of an adapter leave one score.
class GpuDiscovery : public testing::Test {
 protected:
  GpuDiscovery() {
    gpuStatsAnswers.clear();
    gpuStatsRequests.clear();
  }

  int Run(std::vector<WmiRow> rows, std::vector<FakeAdapter> adapters, bool available = true) {
    GraphicsPlatform platform;
    platform.queryRows = [rows](std::vector<WmiRow>& out, const std::string& wql,
                                const std::string& fields) {
      EXPECT_EQ(wql, "select " + fields + " from Win32_VideoController");
      EXPECT_EQ(fields,
                "PNPDeviceID,Caption,AdapterRAM,InstalledDisplayDrivers,DriverVersion,DriverDate,"
                "VideoProcessor,VideoModeDescription,Availability");
      out = rows;
      return rows.empty() ? 1 : 0;
    };
    platform.openAdapters = [adapters, available] {
      return std::unique_ptr<DisplayAdapters>(new FakeAdapters(adapters, available));
    };
    platform.runChild = FakeGpuStats;
    platform.runAdapterTests = [this](const std::vector<GpuTestRow>& table, int ordinal,
                                      Tree& component) {
      EXPECT_EQ(table.size(), 6u);
      testedOrdinals.push_back(ordinal);
      component.add("benchmarks.dx09Tarvel", "50");
    };
    return RunGpuBenchmarks(components, platform);
  }

  // The componentInfo of a pushed component as key and value pairs, in order.
  std::vector<std::pair<std::string, std::string>> Info(size_t index) const {
    auto it = components.begin();
    std::advance(it, index);
    std::vector<std::pair<std::string, std::string>> info;
    for (const auto& leaf : it->second.get_child("componentInfo")) {
      info.emplace_back(leaf.first, leaf.second.data());
    }
    return info;
  }

  OutputWatch watch{OutputWatch::kConsoleCaptured};
  Tree components;
  std::vector<int> testedOrdinals;
};

TEST_F(GpuDiscovery, OneAdapterWithItsStatisticsAndScores) {
  gpuStatsAnswers["\\\\.\\DISPLAY2"] =
      "{\"GPUSTATS_EXIT_CODE\":\"1\",\"monHWName\":\"Fake Monitor\",\"gpuBios\":\"1.2\","
      "\"dispHR\":\"1\",\"a.b\":\"nested\"}";
  const int result =
      Run({Controller(" Card ")}, {{"Other", Display(1, true)}, {"Card", Display(2, false)}});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(gpuStatsRequests,
            std::vector<std::string>{"{\"GPUSTATS_TARGETDISPLAY\":\"\\\\\\\\.\\\\DISPLAY2\"}"});
  EXPECT_EQ(testedOrdinals, std::vector<int>{1});

  const std::vector<LogEntry> expectedLog = {
      {"B ", "INFO: Checking GPU configuration"},
      {"B ", "INFO: Found 1 graphics card(s) and 2 active display(s)"},
      {"B ", "INFO: Starting GPU Benchmarks"},
      {"S ", "DEBUG: Card Avail(3) VMode(1920 x 1080) VProcessor(proc)"},
      {"S ",
       "DEBUG: DX9Ordinal(1) Driver(driver1.dll) Desc(Card) Display(\\\\.\\DISPLAY2) "
       "HR(1920) VR(1080) RR(60)"},
      {"S ", "DEBUG: Launching GPUSTATS on Display(\\\\.\\DISPLAY2)"},
      {"B ", "INFO: Bench Card @(Fake Monitor) on display(2) = secondary"},
  };
  EXPECT_EQ(watch.Log(), expectedLog);

  ASSERT_EQ(components.size(), 1u);
  const std::vector<std::pair<std::string, std::string>> expectedInfo = {
      {"familyGroup", "Graphics Card"},
      {"phyModel", "Card"},
      {"phyPnpId", "PCI\\VEN_ Card "},
      {"gpuRamMB", "4095"},
      {"gpuDrivers", "drv.dll"},
      {"gpuDriverVersion", "30.0"},
      {"gpuDriverDate", "20240101"},
      {"gpuModeDesc", "1920 x 1080"},
      {"a", ""},
      {"dispHR", "1920"},
      {"dispMain", "0"},
      {"dispRR", "60"},
      {"dispVR", "1080"},
      {"dispWinOrdinal", "2"},
      {"gpuBios", "1.2"},
      {"monHWName", "Fake Monitor"},
  };
  EXPECT_EQ(Info(0), expectedInfo);
  EXPECT_EQ(components.front().second.get<std::string>("componentInfo.a.b"), "nested");
  EXPECT_EQ(components.front().second.get<std::string>("benchmarks.dx09Tarvel"), "50");
}

TEST_F(GpuDiscovery, AdapterMemoryInMegabytes) {
  for (const char* display : {"\\\\.\\DISPLAY1", "\\\\.\\DISPLAY2", "\\\\.\\DISPLAY3"}) {
    gpuStatsAnswers[display] = "{\"GPUSTATS_EXIT_CODE\":\"0\"}";
  }
  Run({Controller("A", "4293918720"), Controller("B", "1073741823"), Controller("C", "")},
      {{"A", Display(1, true)}, {"B", Display(2, false)}, {"C", Display(3, false)}});
  ASSERT_EQ(components.size(), 3u);
  const char* const expected[] = {"4095", "1023.9999990463257", "0"};
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(Info(i)[3], std::make_pair(std::string("gpuRamMB"), std::string(expected[i])));
}

TEST_F(GpuDiscovery, EqualCaptionsBenchmarkOneAdapter) {
  gpuStatsAnswers["\\\\.\\DISPLAY2"] = "{\"GPUSTATS_EXIT_CODE\":\"0\"}";
  WmiRow second = Controller("Card");
  second["PNPDeviceID"] = "second";
  EXPECT_EQ(
      Run({Controller("Card"), second}, {{"Card", Display(1, false)}, {"Card", Display(2, true)}}),
      0);
  ASSERT_EQ(components.size(), 1u);
  EXPECT_EQ(Info(0)[2].second, "PCI\\VEN_Card");
  EXPECT_EQ(testedOrdinals, std::vector<int>{1});
  EXPECT_EQ(watch.Count("DEBUG: Skip as already benchmarked matching name Card"), 1);
  EXPECT_EQ(watch.Count("INFO: Bench Card @() on display(2) = main"), 1);
}

TEST_F(GpuDiscovery, AControllerWithoutADisplayIsSkippedAndTriedAgain) {
  gpuStatsAnswers["\\\\.\\DISPLAY1"] = "{\"GPUSTATS_EXIT_CODE\":\"0\"}";
  EXPECT_EQ(Run({Controller("Card"), Controller("Card"), Controller("Hidden")},
                {{"card", Display(1, true)}}),
            0);
  EXPECT_TRUE(components.empty());
  EXPECT_EQ(watch.Count("WARN: skipping Card - unable to locate attached display"), 2);
  EXPECT_EQ(watch.Count("WARN: skipping Hidden - unable to locate attached display"), 1);
  EXPECT_EQ(watch.Count("DEBUG: all adaptors:card|"), 3);
  EXPECT_TRUE(gpuStatsRequests.empty());
}

TEST_F(GpuDiscovery, AnUnusableStatisticsAnswerIsReportedAndTheTestsRunAllTheSame) {
  const char* const replies[] = {
      "{\"monHWName\":\"Fake Monitor\"}",
      "{\"BENCHRUNNER_ERROR\":\"No results retured from child\"}",
      "not json",
      // The library's out_of_range error, not its parse error.
      "{\"GPUSTATS_EXIT_CODE\":\"0\",\"monHWName\":\"Fake Monitor\",\"gpuCoreClock\":1e400}",
      "[\"GPUSTATS_EXIT_CODE\"]",
      "null",
  };
  for (const char* reply : replies) {
    components.clear();
    testedOrdinals.clear();
    gpuStatsAnswers["\\\\.\\DISPLAY1"] = reply;
    OutputWatch caseWatch(OutputWatch::kConsoleCaptured);
    EXPECT_EQ(Run({Controller("Card")}, {{"Card", Display(1, true)}}), 1) << reply;
    EXPECT_EQ(caseWatch.Count("ERROR: Proceeding without CVNGPUStats for Display(1)"), 1) << reply;
    EXPECT_EQ(caseWatch.Count("INFO: Bench Card @() on display(1) = main"), 1) << reply;
    EXPECT_EQ(testedOrdinals, std::vector<int>{0}) << reply;
    ASSERT_EQ(components.size(), 1u) << reply;
    EXPECT_EQ(Info(0).size(), 8u) << reply << ": no member and no disp key";
  }
}

TEST_F(GpuDiscovery, AMemberThatIsNoTextLeavesTheEarlierComponents) {
  gpuStatsAnswers["\\\\.\\DISPLAY1"] = "{\"GPUSTATS_EXIT_CODE\":\"0\"}";
  gpuStatsAnswers["\\\\.\\DISPLAY2"] = "{\"GPUSTATS_EXIT_CODE\":\"0\",\"a\":\"x\",\"memory\":4096}";
  EXPECT_THROW(Run({Controller("A"), Controller("B"), Controller("C")},
                   {{"A", Display(1, true)}, {"B", Display(2, false)}, {"C", Display(3, false)}}),
               nlohmann::json::type_error);
  ASSERT_EQ(components.size(), 1u);
  EXPECT_EQ(Info(0)[1].second, "A");
  EXPECT_EQ(testedOrdinals, std::vector<int>{0});
}

// A key that extends an earlier member's value would make the document unwritable.
TEST_F(GpuDiscovery, AKeyExtendingAnEarlierMemberLeavesTheEarlierComponents) {
  gpuStatsAnswers["\\\\.\\DISPLAY1"] = "{\"GPUSTATS_EXIT_CODE\":\"0\"}";
  gpuStatsAnswers["\\\\.\\DISPLAY2"] = "{\"GPUSTATS_EXIT_CODE\":\"0\",\"gpu\":\"x\",\"gpu.bios\":\"1\"}";
  EXPECT_THROW(Run({Controller("A"), Controller("B")}, {{"A", Display(1, true)}, {"B", Display(2, false)}}),
               std::runtime_error);
  ASSERT_EQ(components.size(), 1u);
  Tree document;
  document.add_child("components", components);
  EXPECT_NO_THROW(WriteDocument(document));
}

TEST_F(GpuDiscovery, NoControllerEndsThePhaseCleanly) {
  EXPECT_EQ(Run({}, {{"Card", Display(1, true)}}), 0);
  const std::vector<LogEntry> expected = {
      {"B ", "INFO: Checking GPU configuration"},
      {"S ", "ERROR: Query videoAdapters failed aborting GPU benchmarks"}};
  EXPECT_EQ(watch.Log(), expected);
  EXPECT_TRUE(components.empty());
}

TEST_F(GpuDiscovery, WithoutDirect3DNoDisplayIsFound) {
  EXPECT_EQ(Run({Controller("Card")}, {}, false), 0);
  EXPECT_EQ(watch.Count("ERROR: Direct3DCreate9 failed, no display can be matched"), 1);
  EXPECT_EQ(watch.Count("INFO: Found 1 graphics card(s) and 0 active display(s)"), 1);
  EXPECT_EQ(watch.Count("WARN: skipping Card - unable to locate attached display"), 1);
  EXPECT_EQ(watch.Count("DEBUG: all adaptors:"), 1);
  EXPECT_TRUE(components.empty());
}

TEST(GraphicsPhase, CompletionLinesAndTheCrashFlag) {
  struct Case {
    const char* name;
    bool crashedBefore;
    std::function<int(Tree&)> benchmarks;
    LogEntry line;
    bool crashedAfter;
  };
  const Case cases[] = {
      {"a clean phase",
       false,
       [](Tree&) { return 0; },
       {"B ", "INFO: Completed GPU benchmarks"},
       false},
      {"a clean phase keeps an earlier crash",
       true,
       [](Tree&) { return 0; },
       {"B ", "INFO: Completed GPU benchmarks"},
       true},
      {"a statistics run without answer",
       false,
       [](Tree&) { return 1; },
       {"S ", "INFO: Completed GPU benchmarks with GPUStats crash"},
       true},
      {"a standard exception",
       false,
       [](Tree& components) -> int {
         components.push_back(Tree::value_type("", Tree("kept")));
         throw std::runtime_error("bad member");
       },
       {"B ", "ERROR: GPU benchmark error: bad member"},
       true},
      {"a JSON type error loses the library's head",
       false,
       [](Tree&) -> int { return int(nlohmann::json(5).get<std::string>().size()); },
       {"B ", "ERROR: GPU benchmark error: type must be string, but is number"},
       true},
      {"any other exception",
       false,
       [](Tree&) -> int { throw 7; },
       {"B ", "ERROR: GPU benchmark fatal error"},
       true},
  };
  for (const Case& c : cases) {
    RunState run;
    run.clientCrashed = c.crashedBefore;
    OutputWatch watch(OutputWatch::kConsoleCaptured);
    RunGraphicsPhase(run, c.benchmarks);
    EXPECT_EQ(watch.Log(), std::vector<LogEntry>{c.line}) << c.name;
    EXPECT_EQ(run.clientCrashed, c.crashedAfter) << c.name;
  }
}

}  // namespace
