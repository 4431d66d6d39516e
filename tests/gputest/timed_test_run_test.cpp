// The timed run on a clock of the test's own: when it stops, when it samples, the launch guard,
// and the result file it leaves.
#include "gputest/timed_test_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/current_directory.h"
#include "tests/support/temp_dir.h"

namespace {

// A run on a hand-driven clock whose debugger messages are kept.
struct ClockedRun : ::testing::Test {
  TimedTestRun run{"ZORTA"};
  TestStopClock clock;
  uint32_t now = 0;
  std::wstring commandLine = L"ZORTA.exe -forcehal -width:1280 -height:720 -adapter:0";
  std::vector<std::wstring> debugMessages;
  TestStopPlatform platform;
  UserMessages messages;

  ClockedRun() {
    platform.tick = [this] { return now; };
    platform.commandLine = [this] { return commandLine; };
    messages.debugOutput = [this](const std::wstring& text) { debugMessages.push_back(text); };
    messages.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) {
      ADD_FAILURE() << "the timed run shows no box";
    };
  }
  bool FrameAt(uint32_t tick, float frameRate = 0.0f) {
    now = tick;
    return run.CheckTestStop(clock, frameRate, platform, messages);
  }
};

TEST_F(ClockedRun, StopsAtTheFirstFrameAfterFourSecondsNotAtFour) {
  now = 1000;
  EXPECT_FALSE(FrameAt(1000));  // the clock starts at the first frame, not at program start
  EXPECT_FALSE(FrameAt(3000));
  EXPECT_FALSE(FrameAt(5000));  // exactly 4000 ms
  EXPECT_TRUE(FrameAt(5001));
  EXPECT_FALSE(run.aborted);
}

TEST_F(ClockedRun, TheCountersWrapDoesNotStopTheRun) {
  EXPECT_FALSE(FrameAt(0xFFFFF000u));
  EXPECT_FALSE(FrameAt(0xFFFFF000u + 4000u));  // wrapped past zero
  EXPECT_TRUE(FrameAt(0xFFFFF000u + 4001u));
}

TEST_F(ClockedRun, SamplesOnlyAfterMoreThan333Ms) {
  FrameAt(0);
  FrameAt(333, 10.0f);
  EXPECT_EQ(run.sampleLog, "");
  FrameAt(334, 10.0f);
  EXPECT_EQ(run.sampleLog, "10.0 ");
  FrameAt(667, 20.0f);
  EXPECT_EQ(run.sampleLog, "10.0 ");
  FrameAt(668, 20.04f);
  EXPECT_EQ(run.sampleLog, "10.0 20.0 ");
  EXPECT_EQ(debugMessages, (std::vector<std::wstring>{L"10.0 \n", L"10.0 20.0 \n"}));
}

TEST_F(ClockedRun, AFourSecondRunKeepsAtMostTwelveSamplesWithZeroInTheFirstSecond) {
  bool stopped = false;
  uint32_t tick = 0;
  for (; !stopped; tick += 334) {
    // The framework's figure stays 0 until its first update, at the first frame after a second.
    stopped = FrameAt(tick, tick > 1000 ? 59.94f : 0.0f);
  }
  EXPECT_EQ(tick - 334, 4008u);
  EXPECT_EQ(run.sampleLog, "0.0 0.0 59.9 59.9 59.9 59.9 59.9 59.9 59.9 59.9 59.9 59.9 ");
}

TEST_F(ClockedRun, AnInteractiveRunNeitherStopsNorSamples) {
  run.interactive = true;
  EXPECT_FALSE(FrameAt(0));
  EXPECT_FALSE(FrameAt(100000, 60.0f));
  EXPECT_EQ(run.sampleLog, "");
}

TEST_F(ClockedRun, ACommandLineWithoutForcehalAbortsAtTheFirstFrameAndReportsOnce) {
  commandLine = L"ZORTA.exe -forceHAL -adapter:0";  // the search is case-sensitive
  EXPECT_TRUE(FrameAt(0));
  EXPECT_TRUE(run.aborted);
  EXPECT_FALSE(FrameAt(10));
  EXPECT_EQ(debugMessages, std::vector<std::wstring>{L"invalid commandline aborting"});
  EXPECT_FALSE(clock.commandLineGuard);
}

TEST_F(ClockedRun, ForcehalAnywhereInTheCommandLinePassesTheGuard) {
  commandLine = L"ZORTA.exe -notforcehalreally";
  EXPECT_FALSE(FrameAt(0));
  EXPECT_FALSE(run.aborted);
  EXPECT_TRUE(clock.commandLineGuard);  // it searches again at every frame
  EXPECT_TRUE(debugMessages.empty());
}

TEST_F(ClockedRun, AnAbortedRunWritesNoFileAndSaysNothing) {
  TempDir dir;
  ScopedCurrentDirectory inDir(dir.path());
  run.aborted = true;
  EXPECT_EQ(run.WriteGpuTestResultFile(60.0f, L"frame", L"device", messages), 1);
  EXPECT_FALSE(dir.Exists("ZORTA.dat"));
  EXPECT_TRUE(debugMessages.empty());
}

TEST_F(ClockedRun, TheResultFileHasFourLinesInTextMode) {
  struct Case {
    const char* shows;
    float frameRate;
    const char* firstLine;
  };
  const Case cases[] = {
      {"six significant digits", 59.94012f, "59.9401"},
      {"rounded, not cut", 1234.567f, "1234.57"},
      {"a whole number without a point", 60.0f, "60"},
      {"exponent form from a million on", 1000000.0f, "1e+06"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    ScopedCurrentDirectory inDir(dir.path());
    dir.Write("ZORTA.dat", "an older and much longer result that must not survive\r\n\r\n\r\n\r\n");
    run.sampleLog = "0.0 59.9 ";
    debugMessages.clear();
    EXPECT_EQ(run.WriteGpuTestResultFile(c.frameRate,
                                         L"D3D10 59.94 fps Vsync off (1280x720), "
                                         L"R8G8B8A8_UNORM_SRGB (MS1, Q0)",
                                         L"HARDWARE: NVIDIA GeForce GTX 470", messages),
              0)
        << c.shows;
    EXPECT_EQ(dir.Read("ZORTA.dat"),
              std::string(c.firstLine) +
                  "\r\nD3D10 59.94 fps Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)\r\n"
                  "HARDWARE: NVIDIA GeForce GTX 470\r\n0.0 59.9 \r\n")
        << c.shows;
    ASSERT_EQ(debugMessages.size(), 1u) << c.shows;
  }
}

TEST_F(ClockedRun, TheCompletionMessageNamesTheRunAndTheRate) {
  TempDir dir;
  ScopedCurrentDirectory inDir(dir.path());
  run.WriteGpuTestResultFile(59.94f, L"", L"", messages);
  EXPECT_EQ(debugMessages, std::vector<std::wstring>{L"ZORTA Completed Successfully 59.9 fps\n"});
  // No sample taken: the last line is empty.
  EXPECT_EQ(dir.Read("ZORTA.dat"), "59.94\r\n\r\n\r\n\r\n");
}

TEST_F(ClockedRun, AResultFileThatCannotBeOpenedGivesOne) {
  TempDir dir;
  ScopedCurrentDirectory inDir(dir.path());
  CreateDirectoryA(dir.File("ZORTA.dat").c_str(), nullptr);
  EXPECT_EQ(run.WriteGpuTestResultFile(60.0f, L"frame", L"device", messages), 1);
  EXPECT_TRUE(debugMessages.empty());
}

TEST(NarrowStatsText, KeepsLatin1BytesAndMarksWhatTheLocaleCannotHold) {
  EXPECT_EQ(NarrowStatsText(L"Caf\u00e9 GPU"), "Caf\xe9 GPU");
  EXPECT_EQ(NarrowStatsText(L"\u0416 GPU \u20ac"), "? GPU ?");
  EXPECT_EQ(NarrowStatsText(std::wstring(600, L'x')), std::string(499, 'x'));
}

}  // namespace
