// The graphics phase in a real jsondebug run of the engine on the display's own adapter, with the
// fake child beside the engine as the GPU statistics child and as the six graphics tests.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/engine_run.h"

namespace {

using nlohmann::json;

TEST(GraphicsRun, TheDisplaysAdapterBecomesAGraphicsComponent) {
  EngineRunSetup setup;
  setup.word = "jsondebug";
  setup.programs["CVNGPUStats.exe"] = "fake_child.exe";
  setup.files["CVNGPUStats.script"] =
      "request:S: gpustats request \n"
      "line:R: {\"GPUSTATS_EXIT_CODE\":\"0\",\"monHWName\":\"Fake Monitor\",\"gpuBios\":\"9.9\"}\n";
  const char* const tests[] = {"MELDRA", "TOSK", "LUNE", "BRISQ", "KORAV", "ZORTA"};
  for (const char* name : tests) {
    const std::string test = name;
    setup.programs[test + ".exe"] = "fake_child.exe";
    setup.files[test + ".script"] = "no-std-handles\nfile:" + test +
                                    ".dat:" + std::to_string(10 + test.size()) +
                                    ".5\\nfs\\nds\\ndet\\n\n";
  }
  const EngineRun run = RunEngine(setup);
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  json graphics;
  for (const json& component : run.debugDocument["components"]) {
    if (component.is_object() && component.contains("componentInfo") &&
        component["componentInfo"].value("familyGroup", "") == "Graphics Card") {
      EXPECT_TRUE(graphics.is_null()) << "one adapter under Wine";
      graphics = component;
    }
  }
  ASSERT_TRUE(graphics.is_object()) << run.process.output;
  const json& info = graphics["componentInfo"];
  EXPECT_FALSE(info.value("phyModel", "").empty());
  EXPECT_EQ(info["gpuBios"], "9.9");
  EXPECT_EQ(info["monHWName"], "Fake Monitor");
  EXPECT_EQ(info["dispWinOrdinal"], "1");
  EXPECT_EQ(info["dispMain"], "1");
  for (const char* key : {"gpuRamMB", "dispHR", "dispVR", "dispRR"})
    EXPECT_TRUE(info.contains(key)) << key;
  EXPECT_FALSE(info.contains("GPUSTATS_EXIT_CODE"));
  const json expectedScores = {{"dx09Tarvel", "16.5"},  {"dx09Tosk", "14.5"},
                               {"dx09Belmot", "14.5"},  {"dx10Yskar", "15.5"},
                               {"dx10Orvanth", "15.5"}, {"dx10Pellun", "15.5"}};
  EXPECT_EQ(graphics["benchmarks"], expectedScores);

  EXPECT_TRUE(
      run.Logged("gpustats request {\"GPUSTATS_TARGETDISPLAY\":\"\\\\\\\\.\\\\DISPLAY1\"}"));
  EXPECT_TRUE(run.Printed("INFO: Bench " + info["phyModel"].get<std::string>() +
                          " @(Fake Monitor) on display(1) = main"))
      << run.process.output;
  EXPECT_TRUE(run.Printed("INFO: GPU score on Pellun = 15.5 FPS"));
  EXPECT_TRUE(run.Printed("INFO: Completed GPU benchmarks"));
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "false");
}

}  // namespace
