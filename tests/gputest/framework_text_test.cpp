// The framework's plain-data parts: command-line flags, the frame-rate figure, the statistics
// texts, the error display and the input gate.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gputest/framework/command_line.h"
#include "gputest/framework/frame_rate.h"
#include "gputest/framework/framework_errors.h"
#include "gputest/framework/input_gate.h"
#include "gputest/framework/stats_text.h"

namespace {

TEST(FrameworkCommandLine, ReadsTheRunEnginesCommandLine) {
  const FrameworkOverrides o = ParseFrameworkCommandLine(
      L"\"C:\\bench dir\\ZORTA.exe\" -forcehal -width:1280 -height:720 -adapter:0");
  EXPECT_TRUE(o.forceHal);
  EXPECT_EQ(o.widthOverride, 1280);
  EXPECT_EQ(o.heightOverride, 720);
  EXPECT_EQ(o.adapterOverride, 0);
  EXPECT_EQ(o.outputOverride, -1);
  EXPECT_FALSE(o.noErrorMessageBoxes);
  EXPECT_FALSE(o.forceRef);
}

TEST(FrameworkCommandLine, EachFlag) {
  struct Case {
    const wchar_t* commandLine;
    bool (*holds)(const FrameworkOverrides&);
  };
  const Case cases[] = {
      {L"z -output:2", [](const FrameworkOverrides& o) { return o.outputOverride == 2; }},
      {L"z /ADAPTER:3", [](const FrameworkOverrides& o) { return o.adapterOverride == 3; }},
      {L"z -forceref", [](const FrameworkOverrides& o) { return o.forceRef; }},
      {L"z -noerrormsgboxes", [](const FrameworkOverrides& o) { return o.noErrorMessageBoxes; }},
      {L"z -fullscreen -windowed",
       [](const FrameworkOverrides& o) { return o.fullScreen && o.windowed; }},
      {L"z -forcepurehwvp -forcehwvp -forceswvp",
       [](const FrameworkOverrides& o) { return o.forcePureHwvp && o.forceHwvp && o.forceSwvp; }},
      {L"z -forcevsync:1 -forceapi:10",
       [](const FrameworkOverrides& o) { return o.forceVsync == 1 && o.forceApi == 10; }},
      // The program's own name is no flag, nor are malformed numbers or unknown words.
      {L"-adapter:4", [](const FrameworkOverrides& o) { return o.adapterOverride == -1; }},
      {L"z -adapter: -width:12x -height:99999999999 adapter:1",
       [](const FrameworkOverrides& o) {
         return o.adapterOverride == -1 && o.widthOverride == 0 && o.heightOverride == 0;
       }},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.holds(ParseFrameworkCommandLine(c.commandLine)))
        << std::string(c.commandLine, c.commandLine + wcslen(c.commandLine));
  }
}

TEST(FrameRate, IsZeroUntilMoreThanASecondHasPassedThenFramesOverTime) {
  FrameRateCounter counter;
  for (double t = 0.1; t <= 1.0; t += 0.1) counter.CountFrame(t);
  counter.CountFrame(1.0);
  EXPECT_EQ(counter.frameRate, 0.0f);  // one second exactly is not more than one
  counter.CountFrame(1.25);            // 12 frames in 1.25 s
  EXPECT_FLOAT_EQ(counter.frameRate, 12 / 1.25f);
  counter.CountFrame(2.0);
  EXPECT_FLOAT_EQ(counter.frameRate, 12 / 1.25f);  // held until the next update
  counter.CountFrame(2.5);
  EXPECT_FLOAT_EQ(counter.frameRate, 2 / 1.25f);
}

TEST(StatsText, FrameStatisticsWithAndWithoutTheFrameRate) {
  const FrameStatsFacts facts{false, 1280, 720, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, 1, 0};
  EXPECT_EQ(FrameStatsText(facts, true, 59.944f),
            L"D3D10 59.94 fps Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)");
  EXPECT_EQ(FrameStatsText({true, 800, 600, DXGI_FORMAT_R8G8B8A8_UNORM, 4, 2}, false, 0.0f),
            L"D3D10 Vsync on (800x600), R8G8B8A8_UNORM (MS4, Q2)");
}

TEST(StatsText, DeviceStatistics) {
  EXPECT_EQ(DeviceStatsText(DeviceKind::Hardware, L"NVIDIA GeForce GTX 470"),
            L"HARDWARE: NVIDIA GeForce GTX 470");
  EXPECT_EQ(DeviceStatsText(DeviceKind::Reference, L"ignored"), L"REFERENCE");
  EXPECT_EQ(DeviceStatsText(DeviceKind::Warp, L"ignored"), L"WARP");
}

TEST(FrameworkErrors, EachResultHasItsExitCode) {
  struct Case {
    HRESULT result;
    int exitCode;
  };
  const Case cases[] = {
      {frameworkNoDirect3D, 2},           {frameworkNoCompatibleDevices, 3},
      {frameworkMediaNotFound, 4},        {frameworkNonZeroRefCount, 5},
      {frameworkCreatingDevice, 6},       {frameworkResettingDevice, 7},
      {frameworkCreatingDeviceObjects, 8}, {frameworkResettingDeviceObjects, 9},
      {frameworkDeviceRemoved, 11},       {E_FAIL, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameworkErrorFor(c.result, false).exitCode, c.exitCode) << std::hex << c.result;
  }
  EXPECT_EQ(FrameworkErrorFor(frameworkNoCompatibleDevices, true).message,
            L"Direct3D does not work over a remote session.");
  EXPECT_EQ(FrameworkErrorFor(frameworkMediaNotFound, false).message,
            L"Could not find required media.");
}

TEST(FrameworkErrors, TheDisplaySetsTheCodeAndShowsABoxOnlyWhenBoxesAreOn) {
  std::vector<std::wstring> captions;
  UserMessages messages;
  messages.messageBox = [&](HWND, const std::wstring& text, const std::wstring& caption,
                            UINT style) {
    captions.push_back(caption);
    EXPECT_EQ(text, L"Failed creating the Direct3D device.");
    EXPECT_EQ(style, static_cast<UINT>(MB_ICONERROR | MB_OK));
  };
  int exitCode = 0;
  EXPECT_TRUE(DisplayFrameworkError(frameworkCreatingDevice, L"", true, &exitCode, messages));
  EXPECT_TRUE(DisplayFrameworkError(frameworkCreatingDevice, L"Vantrel", true, &exitCode, messages));
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"DXUT Application", L"Vantrel"}));
  EXPECT_EQ(exitCode, 6);

  exitCode = 0;
  EXPECT_TRUE(DisplayFrameworkError(frameworkMediaNotFound, L"Vantrel", false, &exitCode, messages));
  EXPECT_EQ(exitCode, 4);
  EXPECT_EQ(captions.size(), 2u);
  EXPECT_FALSE(DisplayFrameworkError(E_FAIL, L"Vantrel", true, &exitCode, messages));
  EXPECT_EQ(exitCode, 4);
}

TEST(InputGate, KeysButtonsAndTheWheelAreInputOtherMessagesAreNot) {
  for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDOWN,
                       WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
                       WM_MBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                       WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, WM_MOUSEWHEEL}) {
    EXPECT_TRUE(IsUserInputMessage(message, false)) << message;
  }
  // The title bar's buttons, closing and sizing pass.
  for (UINT message : {WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_SIZE, WM_CHAR, WM_PAINT}) {
    EXPECT_FALSE(IsUserInputMessage(message, false)) << message;
  }
  EXPECT_FALSE(IsUserInputMessage(WM_MOUSEMOVE, false));
  EXPECT_TRUE(IsUserInputMessage(WM_MOUSEMOVE, true));
}

}  // namespace
