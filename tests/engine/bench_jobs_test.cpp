#include "engine/bench_jobs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <new>

#include "engine/child_runner.h"
#include "tests/support/fake_child_script.h"
#include "tests/support/output_watch.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string launchFailed =
    "{\"BENCHRUNNER_ERROR\":\"Failed to launch child process correctly\"}";
// Bounds only against a hang; the children end long before.
constexpr DWORD kGiveUpMs = 60000;

void Launch(const std::string& benchName, const std::string& command,
            const std::vector<std::string>& script) {
  LaunchBenchAsync(new BenchJob{command, ScriptRequest(script), benchName, kTestChildBoundMs});
}

bool WaitUntil(bool (*done)(), DWORD limitMs = kGiveUpMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Sleep(20);
  }
  return true;
}

TEST(BenchResultMap, EmptyMapCountsAsFinished) {
  BenchResultMap map;
  EXPECT_TRUE(map.AllFinished());
  EXPECT_TRUE(map.Register("C:"));
  EXPECT_FALSE(map.AllFinished());
  EXPECT_FALSE(map.Register("C:"));
  map.Store("C:", "{}");
  EXPECT_TRUE(map.AllFinished());
  EXPECT_EQ(map.Lookup("C:"), "{}");
  EXPECT_EQ(map.Lookup("D:"), "");  // a lookup creates the entry, empty
  EXPECT_FALSE(map.AllFinished());
}

TEST(BenchJobs, DuplicateNameStartsOneChildAndLogsOnce) {
  TempDir dir;
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  Launch("dup", FakeChildCommand(),
         {"wait-file:30000:" + dir.File("release"), "line:R: {\"job\":\"first\"}"});
  Launch("dup", FakeChildCommand(), {"touch:" + dir.File("second"), "line:R: {\"job\":\"second\"}"});
  dir.Write("release", "1");
  ASSERT_TRUE(WaitUntil(AllBenchesFinished));

  EXPECT_EQ(benchResults.Lookup("dup"), "{\"job\":\"first\"}");
  EXPECT_FALSE(dir.Exists("second"));
  std::string message = "ERROR: error attempted to launch duplicate bench dup";
  const std::vector<LogEntry> expected = {{"B ", message}};
  EXPECT_EQ(capture.Log(), expected);
  EXPECT_EQ(capture.Console(), message + "\n");
}

TEST(BenchJobs, ChildThatCannotStartFinishesWithTheLaunchError) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  Launch("missing", "no_such_corvana_child.exe", {});
  ASSERT_TRUE(WaitUntil(AllBenchesFinished));
  EXPECT_EQ(benchResults.Lookup("missing"), launchFailed);
}

// The empty value means "still running"; an empty answer must not look like it.
TEST(BenchJobs, AChildAnsweringAnEmptyResultFinishesTheJob) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  Launch("empty-answer", FakeChildCommand(), {"line:R: "});
  ASSERT_TRUE(WaitUntil(AllBenchesFinished));
  EXPECT_EQ(benchResults.Lookup("empty-answer"), kRunnerNoResults);
}

TEST(BenchJobs, ExceptionOutOfTheRunnerFinishesTheJobWithTheLaunchError) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  ASSERT_TRUE(benchResults.Register("throws"));
  RunBenchJob(BenchJob{"child.exe", "{}", "throws", kTestChildBoundMs},
              [](const std::string&, const std::string&, DWORD) -> std::string {
                throw std::bad_alloc();
              });
  EXPECT_EQ(benchResults.Lookup("throws"), launchFailed);
  const std::vector<LogEntry> expected = {
      {"B ", std::string("ERROR: bench throws failed: ") + std::bad_alloc().what()}};
  EXPECT_EQ(capture.Log(), expected);
}

TEST(BenchJobs, NotFinishedWhileOneOfThreeRuns) {
  TempDir dir;
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  Launch("fast1", FakeChildCommand(), {"line:R: {\"job\":1}"});
  Launch("slow", FakeChildCommand(),
         {"wait-file:30000:" + dir.File("release"), "line:R: {\"job\":\"slow\"}"});
  Launch("fast2", FakeChildCommand(), {"line:R: {\"job\":2}"});
  ASSERT_TRUE(WaitUntil([] {
    return !benchResults.Lookup("fast1").empty() && !benchResults.Lookup("fast2").empty();
  }));
  EXPECT_FALSE(AllBenchesFinished());
  EXPECT_EQ(benchResults.Lookup("slow"), "");

  dir.Write("release", "1");
  ASSERT_TRUE(WaitUntil(AllBenchesFinished));
  EXPECT_EQ(benchResults.Lookup("slow"), "{\"job\":\"slow\"}");
  EXPECT_EQ(benchResults.Lookup("fast1"), "{\"job\":1}");
}

// Children started from several threads at once must not hold each other's pipe ends: a
// foreground child's reader would otherwise wait for every background child that inherited its
// output, and a background child would not see the end of its input while a sibling holds it.
TEST(BenchJobs, EachChildInheritsOnlyItsOwnPipeEnds) {
  TempDir dir;
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  constexpr int kJobs = 6;
  // Held until released, or 30 s: a leaked pipe end makes the foreground call last that long.
  for (int i = 0; i < kJobs; ++i) {
    Launch("inherit" + std::to_string(i), FakeChildCommand(),
           {"touch:" + dir.File("started" + std::to_string(i)),
            "wait-file:30000:" + dir.File("release"), "input-wait"});
  }
  for (int round = 0; round < 3; ++round) {
    DWORD start = GetTickCount();
    EXPECT_EQ(RunChild(FakeChildCommand(), ScriptRequest({"line:R: {\"fg\":1}"}), kTestChildBoundMs),
              "{\"fg\":1}");
    EXPECT_LT(GetTickCount() - start, 15000u) << "round " << round;
  }
  EXPECT_FALSE(AllBenchesFinished());

  // Every background child got past reading its whole input while its siblings still run.
  DWORD start = GetTickCount();
  for (int i = 0; i < kJobs; ++i) {
    while (!dir.Exists("started" + std::to_string(i)) && GetTickCount() - start < 20000) Sleep(20);
    EXPECT_TRUE(dir.Exists("started" + std::to_string(i))) << "job " << i;
  }
  dir.Write("release", "1");
  ASSERT_TRUE(WaitUntil(AllBenchesFinished));
  for (int i = 0; i < kJobs; ++i) {
    std::string result = benchResults.Lookup("inherit" + std::to_string(i));
    EXPECT_EQ(result.rfind("{\"inputWaitMs\":", 0), 0u) << result;
  }
}

}  // namespace
