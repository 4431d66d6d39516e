// The framework's window procedure on a framework of the test's own: the clock and the rendering
// stand still while the window is moved, sized or minimised, and the keyboard reaches the program
// only in an interactive run.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gputest/framework/framework.h"
#include "gputest/timed_test_run.h"

namespace {

// A framework whose clock reads a counter the test moves on, in milliseconds.
class PausedFramework : public ::testing::Test {
 protected:
  PausedFramework() {
    window = CreateWindowW(L"STATIC", L"ZORTA window test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    framework.window = window;
    framework.clock = FrameworkClock([this] { return counter; }, 1000);
    framework.clock.Start();
  }
  ~PausedFramework() override { DestroyWindow(window); }

  void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    HandleFrameworkMessage(framework, false, window, message, wParam, lParam);
  }

  HWND window = nullptr;
  int64_t counter = 1000;
  FrameworkState framework;
};

TEST(FrameworkClock, AStopIsNotCountedAndTheTimeGoesOnFromWhereItStood) {
  int64_t counter = 500;
  FrameworkClock clock([&] { return counter; }, 1000);
  clock.Start();
  counter += 250;
  EXPECT_DOUBLE_EQ(clock.Now(), 0.25);
  clock.Stop();
  counter += 10000;
  EXPECT_DOUBLE_EQ(clock.Now(), 0.25);
  clock.Stop();  // a second stop keeps the first one's time
  counter += 10000;
  clock.Resume();
  EXPECT_DOUBLE_EQ(clock.Now(), 0.25);
  counter += 100;
  EXPECT_DOUBLE_EQ(clock.Now(), 0.35);
  clock.Resume();  // a running clock is not moved
  EXPECT_DOUBLE_EQ(clock.Now(), 0.35);
}

TEST(FrameworkClock, AClockStoppedBeforeItsStartStaysAtZeroUntilItGoesOn) {
  int64_t counter = 0;
  FrameworkClock clock([&] { return counter; }, 1000);
  clock.Stop();
  counter = 400;
  clock.Start();
  counter = 900;
  EXPECT_DOUBLE_EQ(clock.Now(), 0.0);
  clock.Resume();
  counter = 1000;
  EXPECT_DOUBLE_EQ(clock.Now(), 0.1);
}

TEST_F(PausedFramework, FrameTimeDoesNotAdvanceAcrossAMoveOrSizeLoopOrWhileMinimised) {
  struct Case {
    const char* shows;
    UINT beginMessage;
    WPARAM beginWParam;
    UINT endMessage;
    WPARAM endWParam;
  };
  const Case cases[] = {
      {"a move or size loop", WM_ENTERSIZEMOVE, 0, WM_EXITSIZEMOVE, 0},
      {"minimised and restored", WM_SIZE, SIZE_MINIMIZED, WM_SIZE, SIZE_RESTORED},
      {"minimised and maximised", WM_SIZE, SIZE_MINIMIZED, WM_SIZE, SIZE_MAXIMIZED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    counter += 16;
    const double before = framework.clock.Now();
    Send(c.beginMessage, c.beginWParam, MAKELPARAM(640, 480));
    EXPECT_TRUE(framework.pause.Paused());
    counter += 5000;  // five seconds of dragging, or of a minimised window
    EXPECT_DOUBLE_EQ(framework.clock.Now(), before);
    Send(c.endMessage, c.endWParam, MAKELPARAM(640, 480));
    EXPECT_FALSE(framework.pause.Paused());
    EXPECT_DOUBLE_EQ(framework.clock.Now(), before);
    counter += 16;
    EXPECT_DOUBLE_EQ(framework.clock.Now(), before + 0.016);
  }
}

TEST_F(PausedFramework, AMinimiseInsideASizeLoopKeepsTheClockStoppedUntilBothEnd) {
  const double before = framework.clock.Now();
  Send(WM_ENTERSIZEMOVE);
  Send(WM_SIZE, SIZE_MINIMIZED);
  Send(WM_SIZE, SIZE_MINIMIZED);  // a second minimise is not a second pause
  counter += 1000;
  Send(WM_EXITSIZEMOVE);
  counter += 1000;
  EXPECT_DOUBLE_EQ(framework.clock.Now(), before);
  Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
  counter += 20;
  EXPECT_DOUBLE_EQ(framework.clock.Now(), before + 0.02);
  Send(WM_EXITSIZEMOVE);  // an end without a start lets go of nothing more
  EXPECT_FALSE(framework.pause.Paused());
  EXPECT_FALSE(framework.clock.Stopped());
}

TEST_F(PausedFramework, AMoveOrSizeEndWhileMinimisedLeavesItPausedWhileTheRunsClockGoesOn) {
  // The frames a timed run sees, on the same counter: the run's clock is the tick, not the
  // framework's clock.
  TimedTestRun run("ZORTA");
  TestStopClock runClock;
  TestStopPlatform platform;
  platform.tick = [this] { return static_cast<uint32_t>(counter); };
  platform.commandLine = [] { return std::wstring(L"ZORTA.exe -forcehal -adapter:0"); };
  UserMessages quiet;
  quiet.debugOutput = [](const std::wstring&) {};
  int frames = 0;
  bool runEnded = false;
  framework.callbacks.frameRender = [&](ID3D10Device*, double, float) {
    ++frames;
    runEnded = run.CheckTestStop(runClock, 0.0f, platform, quiet);
  };

  RenderFrameworkFrame(framework);
  ASSERT_EQ(frames, 1);
  const double before = framework.clock.Now();
  Send(WM_SIZE, SIZE_MINIMIZED);
  counter += 2000;
  Send(WM_EXITSIZEMOVE);  // out of turn: no move or size loop began
  EXPECT_TRUE(framework.pause.Paused());
  EXPECT_TRUE(framework.clock.Stopped());
  RenderFrameworkFrame(framework);
  EXPECT_EQ(frames, 1) << "a minimised window draws nothing";
  counter += 3000;
  EXPECT_DOUBLE_EQ(framework.clock.Now(), before);

  Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
  EXPECT_FALSE(framework.pause.Paused());
  counter += 16;
  RenderFrameworkFrame(framework);
  EXPECT_EQ(frames, 2);
  EXPECT_DOUBLE_EQ(framework.lastFrameTime, before + 0.016);
  // Over five seconds since the first frame, all but 16 ms of them minimised: the run is over.
  EXPECT_TRUE(runEnded);
}

TEST_F(PausedFramework, DraggingTheWindowDoesNotLowerTheFrameRate) {
  // 60 frames a second on the framework's clock, with a five-second drag in the middle.
  FrameRateCounter rate;
  std::vector<float> figures;
  for (int frame = 0; frame < 240; ++frame) {
    if (frame == 90) {
      Send(WM_ENTERSIZEMOVE);
      counter += 5000;
      Send(WM_EXITSIZEMOVE);
    }
    counter += 16;
    rate.CountFrame(framework.clock.Now());
    if (rate.frameRate != 0.0f) figures.push_back(rate.frameRate);
  }
  ASSERT_FALSE(figures.empty());
  for (float figure : figures) EXPECT_NEAR(figure, 1000.0f / 16.0f, 0.5f);
}

TEST_F(PausedFramework, KeysReachTheProgramOnlyInAnInteractiveRun) {
  std::vector<UINT> keys;
  framework.callbacks.keyboard = [&](UINT key, bool, bool) { keys.push_back(key); };
  for (bool interactive : {false, true}) {
    SCOPED_TRACE(interactive);
    keys.clear();
    framework.keys[VK_PAUSE] = false;
    EXPECT_EQ(HandleFrameworkMessage(framework, interactive, window, WM_KEYDOWN, VK_PAUSE, 0), 0);
    EXPECT_EQ(framework.keys[VK_PAUSE], interactive);
    EXPECT_EQ(keys, interactive ? std::vector<UINT>{VK_PAUSE} : std::vector<UINT>{});
    EXPECT_FALSE(framework.pause.Paused());
  }
}

}  // namespace
