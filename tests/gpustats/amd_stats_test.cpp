// ASTATS on the fake AMD Display Library (tests/doubles/fake_adl.cpp) loaded for real: the loading,
// the entry points by name, the calling conventions and every branch of the stage.
#include "gpustats/amd_stats.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "gpustats/adl_library.h"
#include "tests/support/fake_driver_libraries.h"

namespace {
const std::string kTarget = "\\\\.\\DISPLAY1";

struct AmdRun {
  int result;
  std::string output;
  nlohmann::json answer;
};

// The stage on a fake placed as placedAs; libraryNames are the names it tries, in the folder.
AmdRun RunAmdStage(const nlohmann::json& answers, const std::string& build = "fake_adl.dll",
                   const std::string& placedAs = "atiadlxx.dll",
                   const std::vector<std::string>& libraryNames = {"atiadlxx.dll"}) {
  TempDir dir;
  PlaceFakeAdl(dir, answers, placedAs, build);
  std::vector<std::string> paths;
  for (const std::string& name : libraryNames) paths.push_back(dir.File(name));
  AmdRun run;
  std::ostringstream out;
  {
    // Freed before the folder goes.
    LoadedLibrary library;
    run.result = CollectAmdStats(run.answer, kTarget, out, paths, library);
  }
  run.output = out.str();
  return run;
}

nlohmann::json Adapter(nlohmann::json fields = nlohmann::json::object()) {
  nlohmann::json adapter = {{"display", kTarget}};
  adapter.update(fields);
  return adapter;
}
nlohmann::json Machine(std::vector<nlohmann::json> adapters,
                       nlohmann::json fields = nlohmann::json::object()) {
  nlohmann::json answers = {{"adapters", adapters}};
  answers.update(fields);
  return answers;
}

const std::string kLaunch = "B: INFO: Launching AGPU detection\n";
std::string AdapterLines(int index, const std::string& name, bool active, int version = 7) {
  return "S: DEBUG: A(" + std::to_string(index) + ") D(\\\\.\\DISPLAY1) N(" + name + ") " +
         (active ? "A" : "I") + "\nS: DEBUG: ADL2 CAPS SUP(1) ENA(1) VER(" +
         std::to_string(version) + ")\n";
}
std::string MatchedLines(const std::string& name = "Radeon Fake", const std::string& ram = "8192") {
  return "S: DEBUG: Linked AMD GPU to display: \\\\.\\DISPLAY1\nB: INFO: AGPU Name: " + name +
         "\nB: INFO: AGPU Driver: 20.9.1\nB: INFO: AGPU Bios: 113-D1990100-O09\n"
         "B: INFO: AGPU Total RAM MB: " + ram + "\n";
}
nlohmann::json Members(const std::string& ram = "8192") {
  return {{"gpuHWApi", "ADLAPI"}, {"gpuHWDriver", "20.9.1"}, {"gpuHWBios", "113-D1990100-O09"},
          {"gpuHWRam", ram}};
}
nlohmann::json With(nlohmann::json members, nlohmann::json more) {
  members.update(more);
  return members;
}

TEST(AmdStats, EachWayThroughTheStage) {
  struct Case {
    const char* shows;
    nlohmann::json answers;
    int result;
    std::string output;
    nlohmann::json answer;
  };
  const std::string od5Lines =
      "S: INFO: ADL OD5 GPU supports: 3 performance levels\n"
      "S: INFO: OD5 Def(C,M) L0=(300,150) L1=(800,1000) L2=(1100,1250) \n"
      "S: INFO: OD5 Curr(C,M) L0=(310,160) L1=(820,1020) L2=(1120,1000) \n";
  const nlohmann::json od5 = {{"version", 5},
                              {"od5Levels", 3},
                              {"od5Default", {{30000, 15000}, {80000, 100000}, {110000, 125000}}},
                              {"od5Current", {{31000, 16000}, {82000, 102000}, {112000, 100000}}}};
  const nlohmann::json od6 = {{"version", 6},
                              {"engineRange", {30000, 130000}},
                              {"memoryRange", {15000, 175000}},
                              {"od6Default", {{30000, 15000}, {110000, 150000}}},
                              {"od6Custom", {{31000, 16000}, {120000, 160000}}}};
  const Case cases[] = {
      {"inactive then active adapter with the same name: the active one is reported",
       Machine({Adapter({{"active", 0}, {"name", "Radeon Idle"}}), Adapter({{"index", 3}})}), 0,
       kLaunch + AdapterLines(0, "Radeon Idle", false) + AdapterLines(3, "Radeon Fake", true) +
           MatchedLines(),
       Members()},
      {"only an inactive adapter shows the target", Machine({Adapter({{"active", 0}})}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", false), nullptr},
      {"driver versions answered with a warning (1): reported, no error",
       Machine({Adapter()}, {{"versionsStatus", 1}}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines(), Members()},
      {"driver versions failing (2); BIOS and memory still read",
       Machine({Adapter({{"biosStatus", -1}})}, {{"versionsStatus", 2}}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true) +
           "S: DEBUG: Linked AMD GPU to display: \\\\.\\DISPLAY1\nB: INFO: AGPU Name: Radeon Fake\n"
           "S: ERROR: ADL2_Graphics_VersionsX2_Get\nS: DEBUG: ERROR: ADL2_Adapter_VideoBiosInfo_Get\n"
           "B: INFO: AGPU Total RAM MB: 8192\n",
       {{"gpuHWApi", "ADLAPI"}, {"gpuHWRam", "8192"}}},
      {"memory 8589934591 bytes: 8191 MB", Machine({Adapter({{"memorySize", 8589934591}})}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines("Radeon Fake", "8191"),
       Members("8191")},
      {"OverdriveN: only enabled levels count for the maximum",
       Machine({Adapter({{"odnLevels", 3},
                         {"systemClocks", {{30000, 1}, {150000, 1}, {170000, 0}}},
                         {"memoryClocks", {{50000, 1}, {87500, 1}, {100000, 0}}}})}),
       0,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines() +
           "S: DEBUG: AMD C MHz: C0(A)=300 C1(A)=1500 C2(I)=1700 \nB: INFO: AGPU Max C MHz: 1500\n"
           "S: DEBUG: AMD M MHz M0(A)=500 M1(A)=875 M2(I)=1000 \nB: INFO: AGPU Max M MHz: 875\n",
       With(Members(), {{"gpuHWMaxC", "1500"}, {"gpuHWMaxM", "875"}})},
      {"OverdriveN with every level disabled: no maximum",
       Machine({Adapter({{"odnLevels", 2},
                         {"systemClocks", {{30000, 0}, {150000, 0}}},
                         {"memoryClocks", {{0, 1}, {0, 1}}}})}),
       0,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines() +
           "S: DEBUG: AMD C MHz: C0(I)=300 C1(I)=1500 \nS: DEBUG: AMD M MHz M0(A)=0 M1(A)=0 \n",
       Members()},
      {"OverdriveN engine clocks failing: the memory clocks are still read",
       Machine({Adapter({{"odnLevels", 1},
                         {"systemClocksStatus", -1},
                         {"memoryClocks", {{87500, 1}}}})}),
       1,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines() +
           "S: ERROR: ADL2_OverdriveN_GPUClocks_Get failed\nS: DEBUG: AMD M MHz M0(A)=875 \n"
           "B: INFO: AGPU Max M MHz: 875\n",
       With(Members(), {{"gpuHWMaxM", "875"}})},
      {"Overdrive version 7 without OverdriveN levels: no clocks", Machine({Adapter()}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines(), Members()},
      {"Overdrive 5 with three levels: maxima from the current values only",
       Machine({Adapter(od5)}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 5) + MatchedLines() + od5Lines,
       With(Members(), {{"gpuHWMaxC", "1120"}, {"gpuHWMaxM", "1020"}})},
      {"Overdrive 5 current values failing: no clocks",
       Machine({Adapter(With(od5, {{"od5CurrentStatus", -1}}))}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 5) + MatchedLines() +
           "S: INFO: ADL OD5 GPU supports: 3 performance levels\n"
           "S: INFO: OD5 Def(C,M) L0=(300,150) L1=(800,1000) L2=(1100,1250) \n"
           "S: ERROR: Current ADL_Overdrive5_ODPerformanceLevels_Get: \n",
       Members()},
      {"Overdrive 5 without levels: no clocks, no line",
       Machine({Adapter({{"version", 5}})}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 5) + MatchedLines(), Members()},
      {"older interface failing to start", Machine({Adapter(od5)}, {{"olderCreateStatus", -1}}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 5) + MatchedLines() +
           "S: ADL 5/6 Initialization Error!\n",
       Members()},
      {"Overdrive 6: ranges, default and custom levels",
       Machine({Adapter(od6)}), 0,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 6) + MatchedLines() +
           "S: INFO: ADL OD6 GPU supported\n"
           "S: INFO: OD6 C(Supp,Def,Curr) : L(300,300,310) H(1300,1100,1200)\n"
           "S: INFO: OD6 M(Supp,Def,Curr) : L(150,150,160) H(1750,1500,1600)\n",
       With(Members(), {{"gpuHWMaxC", "1200"}, {"gpuHWMaxM", "1600"}})},
      {"Overdrive 6 default state failing: no clocks",
       Machine({Adapter(With(od6, {{"od6DefaultStatus", -1}}))}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 6) + MatchedLines() +
           "S: INFO: ADL OD6 GPU supported\n"
           "S: ERROR: Default ADL_Overdrive6_StateInfo_Get adapter: 0\n",
       Members()},
      {"Overdrive 6 capabilities failing: the branch ends without clocks",
       Machine({Adapter(With(od6, {{"od6CapsStatus", -1}}))}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 6) + MatchedLines() +
           "S: ERROR: ADL_Overdrive6_Capabilities_Get adapter: 0\n",
       Members()},
      {"OverdriveN capabilities failing: reported, the facts kept, clocks by the Overdrive version",
       Machine({Adapter(With(od5, {{"odnCapsStatus", -1}, {"odnLevels", 3}}))}), 1,
       kLaunch + AdapterLines(0, "Radeon Fake", true, 5) +
           "S: ERROR: ADL2_OverdriveN_Capabilities_Get adapter: 0\n" + MatchedLines() + od5Lines,
       With(Members(), {{"gpuHWMaxC", "1120"}, {"gpuHWMaxM", "1020"}})},
      {"an adapter name without its terminator",
       Machine({Adapter({{"name", std::string(256, 'R')}})}), 0,
       kLaunch + AdapterLines(0, std::string(256, 'R'), true) + MatchedLines(std::string(256, 'R')),
       Members()},
      {"the Overdrive caps failing on an adapter before the match",
       Machine({Adapter({{"display", "\\\\.\\DISPLAY2"}, {"capsStatus", -1}}), Adapter()}), 1,
       kLaunch + "S: DEBUG: A(0) D(\\\\.\\DISPLAY2) N(Radeon Fake) A\n"
                 "S: DEBUG: ADL2_Overdrive_Caps Failed\n" +
           AdapterLines(1, "Radeon Fake", true) + MatchedLines(),
       Members()},
      {"the active status failing: that adapter is passed over",
       Machine({Adapter({{"activeStatus", -1}}), Adapter()}), 1,
       kLaunch + "S: ERROR: ADL2_Adapter_Active_Get: 0\n" + AdapterLines(1, "Radeon Fake", true) +
           MatchedLines(),
       Members()},
      {"no context", Machine({Adapter()}, {{"createStatus", -1}}), 1,
       kLaunch + "S: DEBUG: ERROR: ADL2_Main_Control_Create\n", nullptr},
      {"no adapter count", Machine({Adapter()}, {{"countStatus", -1}}), 1,
       kLaunch + "S: DEBUG: ERROR: ADL2_Adapter_NumberOfAdapters_Get\n", nullptr},
      {"no adapter array", Machine({Adapter()}, {{"infoStatus", -1}}), 1,
       kLaunch + "S: DEBUG: ERROR: ADL2_Adapter_AdapterInfo_Get\n", nullptr},
      {"a count of 0", Machine({Adapter()}, {{"count", 0}}), 0, kLaunch, nullptr},
      {"a negative count: an empty array, as for 0", Machine({Adapter()}, {{"count", -4}}), 0,
       kLaunch, nullptr},
      {"a count whose array no size can describe", Machine({Adapter()}, {{"count", 2000000}}), 1,
       kLaunch + "S: DEBUG: ERROR: ADL2_Adapter_NumberOfAdapters_Get\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    const AmdRun run = RunAmdStage(c.answers);
    EXPECT_EQ(run.result, c.result);
    EXPECT_EQ(run.output, c.output);
    EXPECT_EQ(run.answer, c.answer);
  }
}

TEST(AmdStats, TheLibraryAndItsGroups) {
  const nlohmann::json machine = Machine({Adapter()});
  const std::string found = kLaunch + AdapterLines(0, "Radeon Fake", true) + MatchedLines();
  struct Case {
    const char* shows;
    std::string build, placedAs;
    int result;
    std::string output;
  };
  const Case cases[] = {
      {"neither name there", "fake_adl.dll", "other.dll", 0, kLaunch + "S: INFO: ADL library not found\n"},
      {"the second name when the first is missing", "fake_adl.dll", "atiadlxy.dll", 0, found},
      {"a library without the OverdriveN entry points: nothing read",
       "fake_adl_without_overdriven.dll", "atiadlxx.dll", 0,
       kLaunch + "S: ERROR: ADL2 overdriveN missing\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    const AmdRun run =
        RunAmdStage(machine, c.build, c.placedAs, {"atiadlxx.dll", "atiadlxy.dll"});
    EXPECT_EQ(run.result, c.result);
    EXPECT_EQ(run.output, c.output);
  }
}

TEST(AmdStats, EveryMissingGroupHasItsLine) {
  std::ostringstream out;
  EXPECT_EQ(ReportMissingAdlGroups(AdlFunctions(), out), -1);
  EXPECT_EQ(out.str(),
            "S: ERROR: ADL2 core missing\nS: ERROR: ADL2 sysinfo API missing\n"
            "S: ERROR: ADL2 overdriveN missing\nS: ERROR: ADL overDrive6 missing\n"
            "S: ERROR: ADL overDrive5 missing\n");
}

TEST(AmdStats, MemoryCallback) {
  void* block = AdlMemoryAlloc(64);
  EXPECT_NE(block, nullptr);
  std::free(block);
  EXPECT_EQ(AdlMemoryAlloc(-1), nullptr);
}
}  // namespace
