#include "gputest/timed_test_run.h"

#include <cstdio>
#include <fstream>
#include <utility>

namespace {
constexpr uint32_t sampleIntervalMs = 333;
constexpr size_t statsTextLimit = 499;  // a 500-byte buffer with its terminator

// Each byte becomes the code unit of the same value, as the default locale converts.
std::wstring Widen(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (unsigned char c : text) wide.push_back(static_cast<wchar_t>(c));
  return wide;
}

std::string FormatRate(const char* format, float frameRate) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(frameRate));
  return text;
}
}  // namespace

TimedTestRun::TimedTestRun(std::string runName) : name(std::move(runName)) {}

std::string NarrowStatsText(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) {
    if (narrow.size() == statsTextLimit) break;
    narrow.push_back(static_cast<unsigned>(c) <= 0xFF ? static_cast<char>(c) : '?');
  }
  return narrow;
}

bool TimedTestRun::CheckTestStop(TestStopClock& clock, float frameRate,
                                 const TestStopPlatform& platform, const UserMessages& messages) {
  bool stop = false;
  if (clock.commandLineGuard && platform.commandLine().find(L"forcehal") == std::wstring::npos) {
    clock.commandLineGuard = false;  // the guard reports once
    aborted = true;
    messages.debugOutput(L"invalid commandline aborting");
    stop = true;
  }
  if (!clock.started) {
    clock.started = true;
    clock.firstFrameTime = platform.tick();
    clock.lastSampleTime = clock.firstFrameTime;
  }
  const uint32_t now = platform.tick();
  if (interactive) return stop;

  // Unsigned differences, so the counter's wrap after 49 days is harmless.
  const float elapsed = static_cast<float>(static_cast<double>(now - clock.firstFrameTime));
  if (elapsed > duration * 1000.0f) stop = true;
  if (now - clock.lastSampleTime > sampleIntervalMs) {
    sampleLog += FormatRate("%.1f ", frameRate);
    messages.debugOutput(Widen(sampleLog + "\n"));
    clock.lastSampleTime = now;
  }
  return stop;
}

int TimedTestRun::WriteGpuTestResultFile(float frameRate, const std::wstring& frameStats,
                                         const std::wstring& deviceStats,
                                         const UserMessages& messages) {
  if (aborted) return 1;
  std::ofstream file(name + ".dat", std::ios::out | std::ios::trunc);
  if (!file.is_open()) return 1;
  messages.debugOutput(Widen(name + " Completed Successfully " + FormatRate("%.1f fps\n", frameRate)));
  file << frameRate << "\n"
       << NarrowStatsText(frameStats) << "\n"
       << NarrowStatsText(deviceStats) << "\n"
       << sampleLog << std::endl;
  // Once the file was opened the result stands, whatever writing or closing does.
  return 0;
}
