// The graphics phase in a real jsondebug run of the engine on the display's own adapter, with the
// fake child beside the engine as the GPU statistics child and as the six graphics tests.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "common/text_encoding.h"
#include "gpustats/nvapi_types.h"
#include "tests/support/engine_run.h"
#include "tests/support/temp_dir.h"

namespace {

using nlohmann::json;

// A jsondebug run with the fake child as the six graphics tests, each writing its result file.
EngineRunSetup WithFakeGraphicsTests() {
  EngineRunSetup setup;
  setup.word = "jsondebug";
  const char* const tests[] = {"MELDRA", "TOSK", "LUNE", "BRISQ", "KORAV", "ZORTA"};
  for (const char* name : tests) {
    const std::string test = name;
    setup.programs[test + ".exe"] = "fake_child.exe";
    setup.files[test + ".script"] = "no-std-handles\nfile:" + test +
                                    ".dat:" + std::to_string(10 + test.size()) +
                                    ".5\\nfs\\nds\\ndet\\n\n";
  }
  return setup;
}

// The one graphics component of the run's document, or null.
json GraphicsComponent(const EngineRun& run) {
  json graphics;
  for (const json& component : run.debugDocument["components"]) {
    if (component.is_object() && component.contains("componentInfo") &&
        component["componentInfo"].value("familyGroup", "") == "Graphics Card") {
      EXPECT_TRUE(graphics.is_null()) << "one adapter under Wine";
      graphics = component;
    }
  }
  return graphics;
}

TEST(GraphicsRun, TheDisplaysAdapterBecomesAGraphicsComponent) {
  EngineRunSetup setup = WithFakeGraphicsTests();
  setup.programs["CVNGPUStats.exe"] = "fake_child.exe";
  setup.files["CVNGPUStats.script"] =
      "request:S: gpustats request \n"
      "line:R: {\"GPUSTATS_EXIT_CODE\":\"0\",\"monHWName\":\"Fake Monitor\",\"gpuBios\":\"9.9\"}\n";
  const EngineRun run = RunEngine(setup);
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  const json graphics = GraphicsComponent(run);
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

// A GPU statistics child that starts a helper holding its output pipe, answers and ends: its answer
// is merged, and the run goes on to the graphics tests without waiting for the helper, which it
// ends with one line.
TEST(GraphicsRun, AHelperHoldingTheStatisticsChildsPipeDoesNotHoldTheRun) {
  TempDir helperDir;
  EngineRunSetup setup = WithFakeGraphicsTests();
  setup.programs["CVNGPUStats.exe"] = "fake_child.exe";
  setup.files["CVNGPUStats.script"] =
      "spawn:own-pid:" + helperDir.File("helper.pid") + ";sleep:120000\n"
      "line:R: {\"GPUSTATS_EXIT_CODE\":\"0\",\"gpuBios\":\"9.9\"}\n";
  setup.spawnedPidFiles = {helperDir.File("helper.pid")};
  const EngineRun run = RunEngine(setup);
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;

  EXPECT_EQ(run.spawnedRunningAfterRun, 0);
  EXPECT_TRUE(run.Logged("ERROR: CVNGPUStats.exe has ended, but its output pipe was still open 3 s "
                         "later (held by a process it started): the pipe was abandoned"))
      << run.process.output;
  EXPECT_TRUE(run.Logged("ERROR: CVNGPUStats.exe has ended, but 1 process it started was still "
                         "running: it was ended"))
      << run.process.output;
  const json graphics = GraphicsComponent(run);
  ASSERT_TRUE(graphics.is_object()) << run.process.output;
  EXPECT_EQ(graphics["componentInfo"]["gpuBios"], "9.9");
  EXPECT_EQ(graphics["benchmarks"]["dx10Pellun"], "15.5");
  EXPECT_EQ(run.debugDocument["systemInfo"]["clientCrashed"], "false");
}

// The real GPU statistics child beside the engine, with a fake vendor library whose texts are not
// UTF-8: its answer arrives, and the texts are in the document as their Latin-1 characters, beside
// the monitor and display facts of the same answer.
TEST(GraphicsRun, VendorTextsThatAreNotUtf8ReachTheDocument) {
  const std::string display1 = R"(\\.\DISPLAY1)";
  const std::string cutBios = "90.04.23.00.5F" + std::string(49, '-') + "\xC3";
  struct Case {
    const char* shows;
    std::string library, build, descriptionFile;
    json description;
    std::string member, text;  // as the document holds it
  };
  const Case cases[] = {
      {"NVAPI's BIOS text of 64 bytes ending in a lone 0xC3", kNvApiLibraryName, "fake_nvapi.dll",
       "nvapi_answers.json",
       {{"displays", {{{"name", display1}}}},
        {"pstates", {{{1500000, 0}, {7000000, 0}}}},
        {"bios", Latin1AsUtf8(cutBios)}},
       "gpuHWBios", "90.04.23.00.5F" + std::string(49, '-') + "\xC3\x83"},
      {"ADL's driver text holding 0xFF", "atiadlxx.dll", "fake_adl.dll", "adl_answers.json",
       {{"adapters", {{{"display", display1}, {"version", 7}}}}, {"driver", Latin1AsUtf8("20.9.1\xFF")}},
       "gpuHWDriver", "20.9.1\xC3\xBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    EngineRunSetup setup = WithFakeGraphicsTests();
    setup.programs["CVNGPUStats.exe"] = "CVNGPUStats.exe";
    setup.programs[c.library] = c.build;
    setup.files[c.descriptionFile] = c.description.dump();
    const EngineRun run = RunEngine(setup);
    ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
    EXPECT_FALSE(run.Printed("ERROR: Proceeding without CVNGPUStats for Display(1)"));
    // The texts byte for byte in the written document, which keeps the stored bytes.
    EXPECT_NE(run.resultDocument.find("\"" + c.member + "\": \"" + c.text + "\""), std::string::npos)
        << run.resultDocument;
    ASSERT_TRUE(run.debugDocument.is_object()) << run.process.output;
    const json graphics = GraphicsComponent(run);
    ASSERT_TRUE(graphics.is_object()) << run.process.output;
    const json& info = graphics["componentInfo"];
    EXPECT_EQ(info.value(c.member, ""), c.text);
    for (const char* key : {"gpuHWApi", "gpuHWRam", "monHWName", "dispHR", "dispWinOrdinal"})
      EXPECT_TRUE(info.contains(key)) << key;
  }
}

}  // namespace
