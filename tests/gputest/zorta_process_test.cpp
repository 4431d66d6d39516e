// ZORTA.exe as the run engine starts it, under Wine's virtual desktop.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_recorder.h"

namespace {

// The line field of every trace log line, after the time and the source file's name.
std::vector<int> TraceLogLines(const std::string& log) {
  std::vector<int> lines;
  const std::regex form("[ 0-9]{4,}(DXUT\\.cpp|DXUTenum\\.cpp) +([0-9]+) .*");
  std::smatch match;
  for (std::string line : SplitLines(log)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_match(line, match, form)) {
      lines.push_back(std::stoi(match[2]));
    } else {
      ADD_FAILURE() << "not a trace line: " << line;
    }
  }
  return lines;
}

// A run's trace: DXUTCreateDevice around the search, for the windowed hardware device.
std::vector<int> DeviceCreationTrace() {
  std::vector<int> lines = {1995, 2019, 2092, 2108, 2140};
  for (int line : NormalSearchTrace()) lines.push_back(line);
  lines.insert(lines.end(), {2142, 2150, 2157});
  return lines;
}

ProcessResult RunZorta(const TempDir& dir, const std::string& args) {
  ProcessResult result = RunProgram(BinDir() + "\\ZORTA.exe", args, "", dir.path(), 120000);
  EXPECT_FALSE(result.timedOut) << args;
  return result;
}

TEST(ZortaProcess, ATimedRunWritesItsResultFileAndTracesItsDeviceCreation) {
  TempDir dir;
  const ProcessResult run = RunZorta(dir, "-forcehal -width:1280 -height:720 -adapter:0");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_TRUE(dir.Exists("ZORTA.dat"));
  const std::string result = dir.Read("ZORTA.dat");
  const std::regex form(
      "[0-9]+(\\.[0-9]+)?\r\n"
      "D3D10 [0-9]+\\.[0-9]{2} fps Vsync off \\(1280x720\\), R8G8B8A8_UNORM_SRGB \\(MS1, Q0\\)\r\n"
      "HARDWARE: [^\r\n]+\r\n"
      "([0-9]+\\.[0-9] ){1,12}\r\n");
  EXPECT_TRUE(std::regex_match(result, form)) << result;
  // The scene's first frame (its shaders made ready) can outlast the framework's first second on
  // a software rasteriser, so the first sample may already carry a figure; the form says enough.
  EXPECT_EQ(TraceLogLines(dir.Read("gputrace.log")), DeviceCreationTrace());
}

TEST(ZortaProcess, FailuresBeforeAndAtTheFirstFrameLeaveNoResultFile) {
  struct Case {
    const char* shows;
    const char* args;
    int exitCode;
    bool deviceMade;
  };
  const Case cases[] = {
      {"without -forcehal the launch guard aborts", "-width:1280 -height:720 -adapter:0", 1, true},
      {"without -adapter the lookup fails before any window",
       "-forcehal -width:1280 -height:720 -noerrormsgboxes", 66, false},
      {"an ordinal Direct3D 9 does not know", "-forcehal -adapter:7 -noerrormsgboxes", 66, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const ProcessResult run = RunZorta(dir, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.shows;
    EXPECT_FALSE(dir.Exists("ZORTA.dat")) << c.shows;
    EXPECT_EQ(TraceLogLines(dir.Read("gputrace.log")),
              c.deviceMade ? DeviceCreationTrace() : std::vector<int>{})
        << c.shows;
  }
}

}  // namespace
