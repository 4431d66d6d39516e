// CVNGPUStats as a process under Wine: its lines, answer and exit code for the requests the run
// engine and a stand-alone debug run make, on the test display without vendor libraries and with
// the fake ones beside a copy of the program.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/exception_text.h"
#include "common/text_encoding.h"
#include "gpustats/monitor_lookup.h"
#include "tests/support/fake_driver_libraries.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {
struct GpuStatsRun {
  int exitCode;
  ChildOutput output;
};

GpuStatsRun RunGpuStatsProgram(const std::string& args, const std::string& input) {
  TempDir dir;
  const ProcessResult process =
      RunProgram(BinDir() + "\\CVNGPUStats.exe", args, input, dir.path(), 120000);
  EXPECT_FALSE(process.timedOut);
  return {process.exitCode, CutChildOutput(process.output)};
}

std::string ErrorText(const std::string& request) {
  try {
    nlohmann::json::parse(request).at("GPUSTATS_TARGETDISPLAY").get<std::string>();
  } catch (const std::exception& e) {
    return ExceptionText(e);
  }
  return "";
}

// The monitor lookup of this display, run in the test: its lines and the answer it gives.
struct MonitorFacts {
  std::vector<std::string> lines;
  nlohmann::json answer;
};
MonitorFacts LookUpMonitor(const std::string& target) {
  MonitorFacts facts;
  std::ostringstream out;
  findMonitorInfo(facts.answer, target, out);
  facts.lines = SplitLines(out.str());
  return facts;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<std::string> kNoVendorLibrary = {
    "B: INFO: Launching NGPU detection", "S: INFO: NVAPI library not found",
    "B: INFO: Launching AGPU detection", "S: INFO: ADL library not found"};
const std::string kDisplay1 = R"(\\.\DISPLAY1)";
const std::string kDisplay1Request = R"({"GPUSTATS_TARGETDISPLAY":"\\\\.\\DISPLAY1"})";

std::vector<std::string> Display1Run() {
  const MonitorFacts monitor = LookUpMonitor(kDisplay1);
  nlohmann::json answer = monitor.answer;
  answer["GPUSTATS_EXIT_CODE"] = "0";
  return Concat(Concat(Concat({"S: INFO: Launching GPUStats for " + kDisplay1}, monitor.lines),
                       kNoVendorLibrary),
                {"B: INFO: Completed GPUStats successfully", "R: " + answer.dump()});
}

TEST(GpuStatsProcess, RequestsAndTheirAnswers) {
  struct Case {
    const char* shows;
    std::string args;
    std::string input;
    std::vector<std::string> lines;
    int exitCode;
    bool pauses = false;
  };
  const std::string invalid = "S: ERROR: Invalid GPUStats requested";
  const std::string numberTarget = R"({"GPUSTATS_TARGETDISPLAY":1})";
  const Case cases[] = {
      {"the test display, neither vendor library", "", kDisplay1Request, Display1Run(), 0},
      {"a display no active path carries", "", R"({"GPUSTATS_TARGETDISPLAY":"\\\\.\\DISPLAY9"})",
       Concat(Concat({"S: INFO: Launching GPUStats for \\\\.\\DISPLAY9",
                      "S: DEBUG: findMonitorInfo incomplete"},
                     kNoVendorLibrary),
              {"B: INFO: Completed GPUStats with warnings", R"(R: {"GPUSTATS_EXIT_CODE":"1"})"}),
       0},
      {"empty input", "", "", {"B: ERROR Unexpected " + ErrorText("")}, 1},
      {"an object without the key", "", "{}", {invalid}, 0},
      {"an array", "", R"(["\\\\.\\DISPLAY1"])", {invalid}, 0},
      {"null", "", "null", {invalid}, 0},
      {"a number for the target", "", numberTarget,
       {"B: ERROR Unexpected " + ErrorText(numberTarget)}, 1},
      {"jsondebug twice: two warnings, the built-in request, the pause", "jsondebug jsondebug", "",
       Concat(Concat({"S: WARN: Running GPUStats in debug mode",
                      "S: WARN: Running GPUStats in debug mode"},
                     Display1Run()),
              {"COMPLETED OK - WAITING FOR INPUT"}),
       0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    const GpuStatsRun run = RunGpuStatsProgram(c.args, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.output.lines, c.lines);
    EXPECT_TRUE(run.output.crlf);
    EXPECT_EQ(!run.output.unterminated.empty(), c.pauses) << run.output.unterminated;
  }
}
// The libraries are found by their real names beside the program, as a driver's would be on the
// search path, and used through their real loading path in this flavor.
TEST(GpuStatsProcess, VendorLibrariesBesideTheProgram) {
  const nlohmann::json nvidia = {{"displays", {{{"name", kDisplay1}}}},
                                 {"pstates", {{{1500000, 0}, {7000000, 0}}}}};
  nlohmann::json nvidiaOneClock = nvidia;
  nvidiaOneClock["numClocks"] = 1;
  const nlohmann::json amd = {{"adapters", {{{"display", kDisplay1}, {"version", 7}}}}};
  const auto NvidiaLines = [](const std::string& bios) {
    return std::vector<std::string>{
        "B: INFO: Launching NGPU detection", "S: INFO: Linked Nvidia GPU to display: " + kDisplay1,
        "B: INFO: NGPU Name: GeForce Fake",  "B: INFO: NGPU Driver: 456.28",
        "B: INFO: NGPU Bios: " + bios,       "B: INFO: NGPU Total RAM MB: 8192"};
  };
  const std::vector<std::string> nvidiaLines = NvidiaLines("90.04.23.00.5F");
  // Driver texts that are not UTF-8: a BIOS text filling all 64 bytes and ending in a lone 0xC3,
  // and an ADL driver text holding 0xFF. The descriptions give the bytes as Latin-1 characters.
  const std::string cutBios = "90.04.23.00.5F" + std::string(49, '-') + "\xC3";
  nlohmann::json nvidiaCutBios = nvidia;
  nvidiaCutBios["bios"] = Latin1AsUtf8(cutBios);
  const std::string paddedDriver = "20.9.1\xFF\xFF";
  nlohmann::json amdPaddedDriver = amd;
  amdPaddedDriver["driver"] = Latin1AsUtf8(paddedDriver);
  const MonitorFacts monitor = LookUpMonitor(kDisplay1);
  const auto Answer = [&](nlohmann::json members) {
    nlohmann::json answer = monitor.answer;
    answer.update(members);
    return "R: " + answer.dump();
  };
  struct Case {
    const char* shows;
    nlohmann::json nvapi, adl;  // null: no such library
    std::string adlName;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"an NVIDIA-only machine", nvidia, nullptr, "",
       Concat(Concat(Concat(Concat({"S: INFO: Launching GPUStats for " + kDisplay1}, monitor.lines),
                            nvidiaLines),
                     {"S: DEBUG: NV (C,CX,CN,M,MX,MN) MHz 0=(1500,0,1500,3500,0,3500) ",
                      "B: INFO: NGPU Max C MHz: 1500", "B: INFO: NGPU Max M MHz: 3500",
                      "B: INFO: Launching AGPU detection", "S: INFO: ADL library not found",
                      "B: INFO: Completed GPUStats successfully"}),
              {Answer({{"GPUSTATS_EXIT_CODE", "0"},
                       {"gpuHWApi", "NVAPI"},
                       {"gpuHWBios", "90.04.23.00.5F"},
                       {"gpuHWDriver", "456.28"},
                       {"gpuHWMaxC", "1500"},
                       {"gpuHWMaxM", "3500"},
                       {"gpuHWRam", "8192"}})})},
      {"NSTATS incomplete, ASTATS still run on the second library name", nvidiaOneClock, amd,
       "atiadlxy.dll",
       Concat(Concat(Concat(Concat({"S: INFO: Launching GPUStats for " + kDisplay1}, monitor.lines),
                            nvidiaLines),
                     {"S: ERROR: pstates(1) numclocks(1)", "S: DEBUG: NSTATS incomplete",
                      "B: INFO: Launching AGPU detection",
                      "S: DEBUG: A(0) D(" + kDisplay1 + ") N(Radeon Fake) A",
                      "S: DEBUG: ADL2 CAPS SUP(1) ENA(1) VER(7)",
                      "S: DEBUG: Linked AMD GPU to display: " + kDisplay1,
                      "B: INFO: AGPU Name: Radeon Fake", "B: INFO: AGPU Driver: 20.9.1",
                      "B: INFO: AGPU Bios: 113-D1990100-O09", "B: INFO: AGPU Total RAM MB: 8192",
                      "B: INFO: Completed GPUStats with warnings"}),
              {Answer({{"GPUSTATS_EXIT_CODE", "1"},
                       {"gpuHWApi", "ADLAPI"},
                       {"gpuHWBios", "113-D1990100-O09"},
                       {"gpuHWDriver", "20.9.1"},
                       {"gpuHWRam", "8192"}})})},
      {"an NVIDIA BIOS text cut inside a character", nvidiaCutBios, nullptr, "",
       Concat(Concat(Concat(Concat({"S: INFO: Launching GPUStats for " + kDisplay1}, monitor.lines),
                            NvidiaLines(cutBios)),
                     {"S: DEBUG: NV (C,CX,CN,M,MX,MN) MHz 0=(1500,0,1500,3500,0,3500) ",
                      "B: INFO: NGPU Max C MHz: 1500", "B: INFO: NGPU Max M MHz: 3500",
                      "B: INFO: Launching AGPU detection", "S: INFO: ADL library not found",
                      "B: INFO: Completed GPUStats successfully"}),
              {Answer({{"GPUSTATS_EXIT_CODE", "0"},
                       {"gpuHWApi", "NVAPI"},
                       {"gpuHWBios", "90.04.23.00.5F" + std::string(49, '-') + "\xC3\x83"},
                       {"gpuHWDriver", "456.28"},
                       {"gpuHWMaxC", "1500"},
                       {"gpuHWMaxM", "3500"},
                       {"gpuHWRam", "8192"}})})},
      {"an ADL driver text with 0xFF", nullptr, amdPaddedDriver, "atiadlxx.dll",
       Concat(Concat({"S: INFO: Launching GPUStats for " + kDisplay1}, monitor.lines),
              {"B: INFO: Launching NGPU detection", "S: INFO: NVAPI library not found",
               "B: INFO: Launching AGPU detection",
               "S: DEBUG: A(0) D(" + kDisplay1 + ") N(Radeon Fake) A",
               "S: DEBUG: ADL2 CAPS SUP(1) ENA(1) VER(7)",
               "S: DEBUG: Linked AMD GPU to display: " + kDisplay1,
               "B: INFO: AGPU Name: Radeon Fake", "B: INFO: AGPU Driver: " + paddedDriver,
               "B: INFO: AGPU Bios: 113-D1990100-O09", "B: INFO: AGPU Total RAM MB: 8192",
               "B: INFO: Completed GPUStats successfully",
               Answer({{"GPUSTATS_EXIT_CODE", "0"},
                       {"gpuHWApi", "ADLAPI"},
                       {"gpuHWBios", "113-D1990100-O09"},
                       {"gpuHWDriver", "20.9.1\xC3\xBF\xC3\xBF"},
                       {"gpuHWRam", "8192"}})})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    TempDir dir;
    ASSERT_TRUE(dir.Copy(BinDir() + "\\CVNGPUStats.exe", "CVNGPUStats.exe"));
    if (!c.nvapi.is_null()) PlaceFakeNvapi(dir, c.nvapi);
    if (!c.adl.is_null()) PlaceFakeAdl(dir, c.adl, c.adlName);
    const ProcessResult process =
        RunProgram(dir.File("CVNGPUStats.exe"), "", kDisplay1Request, dir.path(), 120000);
    EXPECT_FALSE(process.timedOut);
    EXPECT_EQ(process.exitCode, 0);
    EXPECT_EQ(CutChildOutput(process.output).lines, c.lines);
  }
}
}  // namespace
