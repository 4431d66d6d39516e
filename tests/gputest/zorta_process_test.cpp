// ZORTA.exe as the run engine starts it, under Wine's virtual desktop.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/graphics_media.h"
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

ProcessResult RunZorta(const TempDir& dir, const std::string& args,
                       const std::string& program = BinDir() + "\\ZORTA.exe") {
  ProcessResult result = RunProgram(program, args, "", dir.path(), 120000);
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

TEST(ZortaProcess, AMeshOrTextureMissingOrCutShortIsMissingMediaAndLeavesNoResultFile) {
  struct Case {
    const char* shows;
    const char* file;
    size_t keptBytes;  // 0: the file is removed
  };
  const Case cases[] = {
      {"the monitors' mesh removed", "Scanner\\ScannerMonitors.sdkmesh", 0},
      {"the room's mesh cut to 5,000 bytes", "Scanner\\ScannerRoom.sdkmesh", 5000},
      {"the sphere's mesh cut to its header", "misc\\ReflectSphere.sdkmesh", 64},
      {"a texture of the room removed", "Scanner\\room_floor.dds", 0},
  };
  std::vector<int> failedCreation = DeviceCreationTrace();
  failedCreation.back() = 4099;  // the device-created callback failed; no 2157 follows
  for (const Case& c : cases) {
    TempDir dir;
    ASSERT_TRUE(CopyGraphicsTestMedia(BinDir(), dir.path()));
    ASSERT_TRUE(dir.Copy(BinDir() + "\\ZORTA.exe", "ZORTA.exe"));
    ASSERT_TRUE(dir.Exists(c.file)) << c.shows;
    if (c.keptBytes == 0) {
      ASSERT_TRUE(DeleteFileA(dir.File(c.file).c_str())) << c.shows;
    } else {
      const std::string whole = dir.Read(c.file);
      ASSERT_GT(whole.size(), c.keptBytes) << c.shows;
      dir.Write(c.file, whole.substr(0, c.keptBytes));
    }
    const ProcessResult run = RunZorta(dir, "-forcehal -width:1280 -height:720 -adapter:0 "
                                       "-noerrormsgboxes", dir.File("ZORTA.exe"));
    EXPECT_EQ(run.exitCode, 4) << c.shows;
    EXPECT_FALSE(dir.Exists("ZORTA.dat")) << c.shows;
    EXPECT_EQ(TraceLogLines(dir.Read("gputrace.log")), failedCreation) << c.shows;
  }
}

}  // namespace
