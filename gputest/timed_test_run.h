#pragma once
// One timed run of the graphics test: when it stops, its frame-rate samples and its result file.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <functional>
#include <string>

#include "gputest/framework/user_messages.h"

class TimedTestRun;

// What every run shares across the frames of the process: the launch guard and the two ticks.
struct TestStopClock {
  bool commandLineGuard = true;
  bool started = false;
  uint32_t firstFrameTime = 0;
  uint32_t lastSampleTime = 0;
};

// The process's facts a stop check reads; the defaults read the real ones.
struct TestStopPlatform {
  std::function<uint32_t()> tick = [] { return static_cast<uint32_t>(timeGetTime()); };
  std::function<std::wstring()> commandLine = [] { return std::wstring(GetCommandLineW()); };
};

class TimedTestRun {
 public:
  explicit TimedTestRun(std::string runName);

  // Once per rendered frame, before drawing: true when the run ends with this frame. frameRate is
  // the framework's current figure, sampled about three times a second into sampleLog.
  bool CheckTestStop(TestStopClock& clock, float frameRate, const TestStopPlatform& platform = {},
                     const UserMessages& messages = {});
  // Writes name + ".dat" in the working directory: 0 when it was opened, 1 otherwise.
  int WriteGpuTestResultFile(float frameRate, const std::wstring& frameStats,
                             const std::wstring& deviceStats, const UserMessages& messages = {});

  std::string name;
  std::string sampleLog;
  bool aborted = false;
  float duration = 4.0f;
  bool interactive = false;
};

// A framework text as the result file holds it: each code unit up to U+00FF becomes the byte of the
// same value, any other becomes '?', and the text is cut at 499 bytes.
std::string NarrowStatsText(const std::wstring& text);
