// The graphics tests of one adapter: their result files, and the fake child started under the six
// tests' names in a folder of the test's own, each following its script.
#include "engine/benchdrive/gpu_test_runner.h"

#include <windows.h>
#include <process.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/bench_jobs.h"
#include "engine/benchdrive/gpu_test_result.h"
#include "tests/support/current_directory.h"
#include "tests/support/fake_child_script.h"
#include "tests/support/output_watch.h"
#include "tests/support/process_runner.h"
#include "tests/support/spawned_process.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kTestNames[] = {"MELDRA", "TOSK", "LUNE", "BRISQ", "KORAV", "ZORTA"};

TEST(GpuTestResultFile, ReadsFourLinesWithTheirLineEnds) {
  struct Case {
    const char* name;
    const char* bytes;  // nullptr: no file
    bool read;
    double fps;
    const char* frameStats;
    const char* fpsDetail;
  };
  const Case cases[] = {
      {"four lines", "57.3456\nfs\nds\ndet\n", true, 57.3456, "fs", "det"},
      {"CR LF reads like LF", "57.3456\r\nfs\r\nds\r\ndet\r\n", true, 57.3456, "fs", "det"},
      {"a fifth line is ignored", "1.5\nfs\nds\ndet\nfifth\n", true, 1.5, "fs", "det"},
      {"leading blanks before the rate", "  42\nfs\nds\ndet\n", true, 42, "fs", "det"},
      {"a rate that is no number reads 0", "fast\nfs\nds\ndet\n", true, 0, "fs", "det"},
      {"empty detail lines", "3\n\n\n\n", true, 3, "", ""},
      {"three lines", "57.3\nfs\nds\n", false, 0, "", ""},
      {"a fourth line without its line end", "57.3\nfs\nds\ndet", false, 0, "", ""},
      {"an empty file", "", false, 0, "", ""},
      {"no file", nullptr, false, 0, "", ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.bytes != nullptr) dir.Write("TEST.dat", c.bytes);
    GpuTestResult result;
    ASSERT_EQ(ReadGpuTestResult(dir.File("TEST.dat"), result), c.read) << c.name;
    if (!c.read) continue;
    EXPECT_EQ(result.fps, c.fps) << c.name;
    EXPECT_EQ(result.frameStats, c.frameStats) << c.name;
    EXPECT_EQ(result.fpsDetail, c.fpsDetail) << c.name;
  }
}

// A folder with the fake child under the six tests' names, as the working directory; the tests are
// started from there.
class GpuTestFolder : public testing::Test {
 protected:
  GpuTestFolder() : cwd_(dir.path()) {
    for (const char* name : kTestNames) {
      EXPECT_TRUE(dir.Copy(BinDir() + "\\fake_child.exe", std::string(name) + ".exe"));
    }
  }

  // The test's script: started like a graphics test, it first notes that it ran.
  void Script(const std::string& name, const std::string& commands) {
    dir.Write(name + ".script", "no-std-handles\ntouch:" + name + ".ran\n" + commands);
  }
  // A test that ends with 0 after writing its four lines.
  void Succeeds(const std::string& name, const std::string& rate) {
    Script(name, "file:" + name + ".dat:" + rate + "\\nfs " + name + "\\nds\\ndet\\n\n");
  }

  void RunOnOrdinal(int ordinal, DWORD waitLimitMs = 120000) {
    RunAdapterTests(GpuTestTable(), ordinal, component,
                    GpuTestLaunch{dir.path() + "\\", waitLimitMs});
  }

  std::vector<std::string> Ran() const {
    std::vector<std::string> ran;
    for (const char* name : kTestNames) {
      if (dir.Exists(std::string(name) + ".ran")) ran.push_back(name);
    }
    return ran;
  }

  TempDir dir;
  OutputWatch watch{OutputWatch::kConsoleCaptured};
  Tree component;

 private:
  ScopedCurrentDirectory cwd_;
};

TEST_F(GpuTestFolder, AllSixScoresInTableOrder) {
  Succeeds("MELDRA", "57.3456");
  Succeeds("TOSK", "99.96");
  Succeeds("LUNE", "0.04");
  Script("BRISQ", "file:BRISQ.dat:12.25\\r\\nfs BRISQ\\r\\nds\\r\\ndet\\r\\n\n");  // CR LF
  Script("KORAV", "file:KORAV.dat:30\\nfs KORAV\\nds\\ndet\\nfifth\\n\n");         // five lines
  Script("ZORTA", "command-line:command.txt\nfile:ZORTA.dat:61.5\\nfs ZORTA\\nds\\ndet\\n\n");
  RunOnOrdinal(2);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"dx09Tarvel", "57.3"}, {"dx09Tosk", "100"},   {"dx09Belmot", "0"},
      {"dx10Yskar", "12.3"},  {"dx10Orvanth", "30"}, {"dx10Pellun", "61.5"}};
  std::vector<std::pair<std::string, std::string>> scores;
  for (const auto& leaf : component.get_child("benchmarks")) {
    scores.emplace_back(leaf.first, leaf.second.data());
  }
  EXPECT_EQ(scores, expected);
  EXPECT_EQ(watch.Console(),
            "INFO: GPU score on Tarvel = 57.3 FPS\nINFO: GPU score on Tosk = 100 FPS\n"
            "INFO: GPU score on Belmot = 0 FPS\nINFO: GPU score on Yskar = 12.3 FPS\n"
            "INFO: GPU score on Orvanth = 30 FPS\nINFO: GPU score on Pellun = 61.5 FPS\n");
  const std::vector<LogEntry> log = watch.Log();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[0],
            (LogEntry{"S ", "INFO: Tarvel FPS: 57.3456 FS=(fs MELDRA) DS=(ds) FPSDET=(det)"}));
  EXPECT_EQ(log[3], (LogEntry{"S ", "INFO: Yskar FPS: 12.25 FS=(fs BRISQ) DS=(ds) FPSDET=(det)"}));
  EXPECT_EQ(dir.Read("command.txt"),
            dir.path() + "\\ZORTA.exe -forcehal -width:1280 -height:720 -adapter:2");
  for (const char* name : kTestNames) EXPECT_FALSE(dir.Exists(std::string(name) + ".dat")) << name;
}

TEST_F(GpuTestFolder, TheFirstFailureEndsTheAdaptersTests) {
  struct Case {
    const char* name;
    int failing;              // index of the failing test
    const char* script;       // its script
    const char* procRetCode;  // the logged exit code
    bool fileLeft;            // its result file stays
  };
  const Case cases[] = {
      {"the first exits with 1", 0, "exit:1\n", "1", false},
      {"exit code -1 is logged unsigned", 0, "exit:-1\n", "4294967295", false},
      {"a non-zero exit code with a file", 1, "file:TOSK.dat:5\\na\\nb\\nc\\n\nexit:3\n", "3",
       true},
      {"the fourth exits with 0 and no file", 3, "", "0", false},
      {"a file of three lines", 3, "file:BRISQ.dat:5\\na\\nb\\n\n", "0", true},
      {"a fourth line without its line end", 3, "file:BRISQ.dat:5\\na\\nb\\nc\n", "0", true},
  };
  for (const Case& c : cases) {
    for (const char* name : kTestNames) {
      DeleteFileA((std::string(name) + ".ran").c_str());
      DeleteFileA((std::string(name) + ".dat").c_str());
      Succeeds(name, "20");
    }
    const std::string failing = kTestNames[c.failing];
    Script(failing, c.script);
    component.clear();
    OutputWatch caseWatch(OutputWatch::kConsoleCaptured);
    RunOnOrdinal(0);

    const std::vector<std::string> ran(kTestNames, kTestNames + c.failing + 1);
    EXPECT_EQ(Ran(), ran) << c.name;
    EXPECT_EQ(component.get_child("benchmarks", Tree()).size(), size_t(c.failing)) << c.name;
    EXPECT_EQ(component.count("benchmarks"), c.failing == 0 ? 0u : 1u) << c.name;
    const std::string displayName = GpuTestTable()[c.failing].displayName;
    const std::vector<LogEntry> log = caseWatch.Log();
    ASSERT_GE(log.size(), 2u) << c.name;
    EXPECT_EQ(log[log.size() - 2],
              (LogEntry{"S ", "ERROR: " + displayName + " procretcode: " + c.procRetCode}))
        << c.name;
    EXPECT_EQ(log.back(),
              (LogEntry{"B ", "ERROR: " + displayName +
                                  " GPU benchmark failed, aborting further tests on this GPU"}))
        << c.name;
    EXPECT_EQ(dir.Exists(failing + ".dat"), c.fileLeft) << c.name;
  }
}

TEST_F(GpuTestFolder, AMissingProgramFailsAtItsStart) {
  DeleteFileA("MELDRA.exe");
  RunOnOrdinal(0);
  const std::vector<LogEntry> log = watch.Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].category, "B ");
  EXPECT_EQ(log[0].message.rfind("ERROR: CreateProcess failed ", 0), 0u) << log[0].message;
  EXPECT_GT(log[0].message.size(), std::string("ERROR: CreateProcess failed ").size());
  EXPECT_EQ(log[1].message,
            "ERROR: Tarvel GPU benchmark failed, aborting further tests on this GPU");
  EXPECT_TRUE(Ran().empty());
  EXPECT_EQ(component.count("benchmarks"), 0u);
}

// Together with the helper process it started: nothing of the test outlives the bound.
TEST_F(GpuTestFolder, AHangingTestIsEndedAtTheBound) {
  Succeeds("MELDRA", "20");
  Script("TOSK", "spawn:own-pid:" + dir.File("helper.pid") + ";sleep:600000\nsleep:600000\n");
  Succeeds("LUNE", "20");
  const DWORD start = GetTickCount();
  RunOnOrdinal(1, 3000);
  // Generous: the bound is 3 s, the hang ten minutes.
  EXPECT_LT(GetTickCount() - start, 120000u);

  EXPECT_EQ(Ran(), (std::vector<std::string>{"MELDRA", "TOSK"}));
  SpawnedProcess helper(dir.File("helper.pid"));
  EXPECT_TRUE(helper.idWritten());
  EXPECT_FALSE(helper.Running());
  EXPECT_EQ(component.get_child("benchmarks").size(), 1u);
  const std::vector<LogEntry> log = watch.Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], (LogEntry{"S ", "ERROR: Tosk did not end within 3 s and was ended"}));
  EXPECT_EQ(
      log[2],
      (LogEntry{"B ", "ERROR: Tosk GPU benchmark failed, aborting further tests on this GPU"}));
}

// A test that ends by itself is done: a helper it left running is ended with one line before the
// next test starts, and its score counts.
TEST_F(GpuTestFolder, WhatATestLeftRunningIsEndedWhenItIsDone) {
  Succeeds("MELDRA", "20");
  // The test ends once its helper has written its id, so that the id is there to look up.
  Script("TOSK", "spawn:own-pid:" + dir.File("helper.pid") + ";touch:" + dir.File("helper.ready") +
                     ";sleep:600000\n"
                     "wait-file:60000:" + dir.File("helper.ready") + "\n"
                     "file:TOSK.dat:30\\nfs\\nds\\ndet\\n\n");
  Succeeds("LUNE", "20");
  RunOnOrdinal(1);

  EXPECT_EQ(Ran(), (std::vector<std::string>{"MELDRA", "TOSK", "LUNE"}));
  SpawnedProcess helper(dir.File("helper.pid"));
  EXPECT_TRUE(helper.idWritten());
  EXPECT_FALSE(helper.Running());
  EXPECT_EQ(component.get_child("benchmarks").size(), 3u);
  const std::vector<LogEntry> log = watch.Log();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      LogEntry{"B ", "ERROR: Tosk has ended, but 1 process it started was still "
                                     "running: it was ended"}),
            log.end());
}

struct GpuTestCall {
  std::string commandLine;
  double fps = 0;
  int result = -1;
};

unsigned __stdcall RunGpuTestThread(void* argument) {
  auto* call = static_cast<GpuTestCall*>(argument);
  call->result = RunGpuTest(call->commandLine, "KORAV", "Orvanth", call->fps, 120000);
  return 0;
}

// A graphics test started while background jobs are starting their children must not inherit the
// pipe ends those jobs have just made: a job's reader would then wait for the graphics test to end
// before its child's output ends.
TEST_F(GpuTestFolder, ALongTestHoldsNoPipeEndOfTheBackgroundJobs) {
  Script("KORAV", "wait-file:60000:graphics-go\nfile:KORAV.dat:25\\na\\nb\\nc\\n\n");
  auto launchJobs = [](int from, int count) {
    for (int i = from; i < from + count; ++i) {
      LaunchBenchAsync(new BenchJob{FakeChildCommand(), ScriptRequest({"line:R: {\"job\":1}"}),
                                    "graphics-overlap" + std::to_string(i), kTestChildBoundMs});
    }
  };
  launchJobs(0, 12);
  GpuTestCall call;
  call.commandLine = dir.File("KORAV.exe") + " -forcehal -width:1280 -height:720 -adapter:0";
  const HANDLE thread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunGpuTestThread, &call, 0, nullptr));
  ASSERT_NE(thread, nullptr);
  launchJobs(12, 12);
  for (int i = 0; i < 1500 && !dir.Exists("KORAV.ran"); ++i) Sleep(20);
  ASSERT_TRUE(dir.Exists("KORAV.ran"));
  launchJobs(24, 4);

  for (int i = 0; i < 3000 && !AllBenchesFinished(); ++i) Sleep(20);
  EXPECT_TRUE(AllBenchesFinished()) << "a job waits for the graphics test";
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the test ended early";
  EXPECT_EQ(benchResults.Lookup("graphics-overlap0"), "{\"job\":1}");
  EXPECT_EQ(benchResults.Lookup("graphics-overlap27"), "{\"job\":1}");

  dir.Write("graphics-go", "1");
  EXPECT_EQ(WaitForSingleObject(thread, 120000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  EXPECT_EQ(call.result, 0);
  EXPECT_EQ(call.fps, 25);
}

}  // namespace
