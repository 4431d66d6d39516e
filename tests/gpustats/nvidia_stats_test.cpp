// NSTATS on NVAPI functions of the test's own: every branch of the stage without the library.
#include "gpustats/nvidia_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fake_driver_libraries.h"

namespace {
struct FakeDisplay {
  std::string name;
  uint32_t gpuCount = 1;
  NvStatus gpusStatus = kNvOk;
};

struct FakeNvidia {
  NvStatus initializeStatus = kNvOk;
  std::vector<FakeDisplay> displays;
  NvStatus enumStatusAfterDisplays = kNvEndEnumeration;
  uint32_t driverVersion = 45628;
  uint32_t dedicatedKb = 8388608;
  NvStatus pstatesStatus = kNvOk;
  NvPstates20Info pstates = {};
  int unloads = 0;
};

// The functions are plain pointers, as the library's are: they answer from this one fake.
FakeNvidia* fake = nullptr;

NvPhysicalGpuHandle FakeGpu() { return reinterpret_cast<NvPhysicalGpuHandle>(0x100); }

NvStatus __cdecl Initialize() { return fake->initializeStatus; }
NvStatus __cdecl Unload() { return ++fake->unloads, kNvOk; }
NvStatus __cdecl ErrorMessage(NvStatus status, char* text) {
  std::snprintf(text, kNvShortStringSize, "fake status %d", static_cast<int>(status));
  return kNvOk;
}
NvStatus __cdecl EnumDisplay(uint32_t index, NvDisplayHandle* display) {
  if (index >= fake->displays.size()) return fake->enumStatusAfterDisplays;
  *display = reinterpret_cast<NvDisplayHandle>(static_cast<uintptr_t>(index + 1));
  return kNvOk;
}
const FakeDisplay& DisplayOf(NvDisplayHandle display) {
  return fake->displays[reinterpret_cast<uintptr_t>(display) - 1];
}
NvStatus __cdecl DisplayName(NvDisplayHandle display, char* name) {
  // A name of 64 characters has no terminator in the short string.
  std::memcpy(name, DisplayOf(display).name.data(),
              std::min(DisplayOf(display).name.size(), kNvShortStringSize));
  return kNvOk;
}
NvStatus __cdecl GpusFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle* gpus,
                                 uint32_t* count) {
  if (*count != 0) return -5;
  gpus[0] = FakeGpu();
  *count = DisplayOf(display).gpuCount;
  return DisplayOf(display).gpusStatus;
}
NvStatus __cdecl FullName(NvPhysicalGpuHandle gpu, char* text) {
  std::strcpy(text, "GeForce Fake");
  return gpu == FakeGpu() ? kNvOk : -5;
}
NvStatus __cdecl DriverVersion(uint32_t* version, char* branch) {
  *version = fake->driverVersion;
  std::strcpy(branch, "r456_00");
  return kNvOk;
}
NvStatus __cdecl Vbios(NvPhysicalGpuHandle gpu, char* text) {
  std::strcpy(text, "90.04.23.00.5F");
  return kNvOk;
}
NvStatus __cdecl MemoryInfo(NvPhysicalGpuHandle gpu, NvDriverMemoryInfo* info) {
  if (info->version != 0x10014) return -9;
  info->dedicatedVideoMemory = fake->dedicatedKb;
  return kNvOk;
}
NvStatus __cdecl Pstates(NvPhysicalGpuHandle gpu, NvPstates20Info* info) {
  if (info->version != 0x31CF8 || info->numPstates != 0) return -9;
  if (fake->pstatesStatus != kNvOk) return fake->pstatesStatus;
  *info = fake->pstates;
  return kNvOk;
}

NvApiFunctions FakeFunctions() {
  NvApiFunctions api;
  api.initialize = Initialize;
  api.unload = Unload;
  api.getErrorMessage = ErrorMessage;
  api.enumNvidiaDisplayHandle = EnumDisplay;
  api.getAssociatedNvidiaDisplayName = DisplayName;
  api.getPhysicalGpusFromDisplay = GpusFromDisplay;
  api.gpuGetFullName = FullName;
  api.sysGetDriverAndBranchVersion = DriverVersion;
  api.gpuGetVbiosVersionString = Vbios;
  api.gpuGetMemoryInfo = MemoryInfo;
  api.gpuGetPstates20 = Pstates;
  return api;
}

// P-states of clocks (graphics, memory) in kHz, each a fixed one or a range.
struct Clock {
  uint32_t low, high;  // high 0: a fixed clock
};
NvPstates20Info PstateTable(const std::vector<std::pair<Clock, Clock>>& pstates,
                            uint32_t numClocks = 2) {
  NvPstates20Info info = {};
  info.numPstates = static_cast<uint32_t>(pstates.size());
  info.numClocks = numClocks;
  for (size_t p = 0; p < pstates.size(); ++p) {
    const Clock clocks[2] = {pstates[p].first, pstates[p].second};
    for (int c = 0; c < 2; ++c) {
      NvPstateClock& clock = info.pstates[p].clocks[c];
      clock.domainId = c == 0 ? 0 : 4;
      clock.typeId = clocks[c].high == 0 ? 0 : 1;
      clock.freq_kHz = clocks[c].low;
      clock.maxFreq_kHz = clocks[c].high;
    }
  }
  return info;
}

const std::string kTarget = "\\\\.\\DISPLAY1";
const std::string kLaunch = "B: INFO: Launching NGPU detection\n";
const std::string kLinked = "S: INFO: Linked Nvidia GPU to display: \\\\.\\DISPLAY1\n";
std::string GpuLines(const std::string& driver, const std::string& ram) {
  return "B: INFO: NGPU Name: GeForce Fake\nB: INFO: NGPU Driver: " + driver +
         "\nB: INFO: NGPU Bios: 90.04.23.00.5F\nB: INFO: NGPU Total RAM MB: " + ram + "\n";
}
nlohmann::json GpuMembers(const std::string& driver, const std::string& ram) {
  return {{"gpuHWApi", "NVAPI"}, {"gpuHWDriver", driver}, {"gpuHWBios", "90.04.23.00.5F"},
          {"gpuHWRam", ram}};
}
nlohmann::json WithClocks(nlohmann::json members, const std::string& core, const std::string& mem) {
  members["gpuHWMaxC"] = core;
  members["gpuHWMaxM"] = mem;
  return members;
}
const NvPstates20Info kFixed = PstateTable({{{1500000, 0}, {7000000, 0}}});
const std::string kFixedLines =
    "S: DEBUG: NV (C,CX,CN,M,MX,MN) MHz 0=(1500,0,1500,3500,0,3500) \n"
    "B: INFO: NGPU Max C MHz: 1500\nB: INFO: NGPU Max M MHz: 3500\n";

struct Case {
  const char* shows;
  FakeNvidia nvidia;
  bool library;
  int result;
  std::string output;
  nlohmann::json answer;
  int unloads;
};

FakeNvidia Nvidia(std::vector<FakeDisplay> displays, NvPstates20Info pstates = kFixed) {
  FakeNvidia nvidia;
  nvidia.displays = std::move(displays);
  nvidia.pstates = pstates;
  return nvidia;
}
template <typename Change>
FakeNvidia Changed(FakeNvidia nvidia, Change change) {
  change(nvidia);
  return nvidia;
}

TEST(NvidiaStats, EachWayThroughTheStage) {
  const FakeDisplay display1 = {kTarget};
  const FakeDisplay display2 = {"\\\\.\\DISPLAY2"};
  const std::string notFound = kLaunch + "S: INFO: NVAPI library not found\n";
  const Case cases[] = {
      {"no library", {}, false, 0, notFound, nullptr, 0},
      {"a library that does not initialise",
       Changed(Nvidia({display1}), [](FakeNvidia& n) { n.initializeStatus = -1; }), true, 0,
       notFound, nullptr, 0},
      {"NVIDIA displays, none named like the target", Nvidia({display2, {"\\\\.\\display1"}}),
       true, 0, kLaunch, nullptr, 1},
      {"driver 45628, 8388608 KB, a fixed first P-state", Nvidia({display2, display1}), true, 0,
       kLaunch + kLinked + GpuLines("456.28", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.28", "8192"), "1500", "3500"), 1},
      {"driver 45605, 1048575 KB",
       Changed(Nvidia({display1}), [](FakeNvidia& n) { n.driverVersion = 45605, n.dedicatedKb = 1048575; }),
       true, 0, kLaunch + kLinked + GpuLines("456.05", "1023") + kFixedLines,
       WithClocks(GpuMembers("456.05", "1023"), "1500", "3500"), 1},
      {"driver 45610", Changed(Nvidia({display1}), [](FakeNvidia& n) { n.driverVersion = 45610; }),
       true, 0, kLaunch + kLinked + GpuLines("456.10", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.10", "8192"), "1500", "3500"), 1},
      {"a ranged first P-state; later P-states in the debug line only",
       Nvidia({display1}, PstateTable({{{300000, 1900000}, {405000, 0}},
                                       {{5000000, 0}, {9000000, 10000000}}})),
       true, 0,
       kLaunch + kLinked + GpuLines("456.28", "8192") +
           "S: DEBUG: NV (C,CX,CN,M,MX,MN) MHz 0=(300,1900,300,202,0,202) "
           "1=(5000,0,5000,4500,5000,4500) \nB: INFO: NGPU Max C MHz: 1900\n"
           "B: INFO: NGPU Max M MHz: 202\n",
       WithClocks(GpuMembers("456.28", "8192"), "1900", "202"), 1},
      {"one clock per P-state: no clock members, the others kept",
       Nvidia({display1}, PstateTable({{{1500000, 0}, {7000000, 0}}}, 1)), true, 1,
       kLaunch + kLinked + GpuLines("456.28", "8192") + "S: ERROR: pstates(1) numclocks(1)\n",
       GpuMembers("456.28", "8192"), 1},
      {"a zero GPU count: the display is passed over, the enumeration goes on",
       Nvidia({{kTarget, 0}, display1}), true, 1,
       kLaunch + kLinked + "S: ERROR: failed to get gpu from display: fake status 0\n" + kLinked +
           GpuLines("456.28", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.28", "8192"), "1500", "3500"), 1},
      {"a GPU count larger than the array: the first GPU is read", Nvidia({{kTarget, 1000}}), true,
       0, kLaunch + kLinked + GpuLines("456.28", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.28", "8192"), "1500", "3500"), 1},
      {"the GPU query fails: the enumeration ends", Nvidia({{kTarget, 1, -3}, display1}), true, 1,
       kLaunch + kLinked + "S: ERROR: failed to get gpu from display: fake status -3\n", nullptr, 1},
      {"the P-state query fails: the enumeration ends",
       Changed(Nvidia({display1, display1}), [](FakeNvidia& n) { n.pstatesStatus = -104; }), true,
       1, kLaunch + kLinked + GpuLines("456.28", "8192") + "S: ERROR: GPU_GetPstates20: fake status -104\n",
       GpuMembers("456.28", "8192"), 1},
      {"the enumeration fails", Changed(Nvidia({display2}), [](FakeNvidia& n) { n.enumStatusAfterDisplays = -6; }),
       true, 0, kLaunch + "S: WARN: NvAPI_EnumNvidiaDisplayHandle: fake status -6 on index 1\n",
       nullptr, 1},
      {"a display name of 64 bytes without its terminator", Nvidia({{std::string(64, 'N')}}), true,
       0, kLaunch, nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    FakeNvidia nvidia = c.nvidia;
    fake = &nvidia;
    nlohmann::json answer;
    std::ostringstream out;
    const NvApiFunctions api = c.library ? FakeFunctions() : NvApiFunctions();
    EXPECT_EQ(CollectNvidiaStats(answer, kTarget, out, api), c.result);
    EXPECT_EQ(out.str(), c.output);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(nvidia.unloads, c.unloads);
    fake = nullptr;
  }
}

TEST(NvidiaStats, ADisplayNameOf64BytesMatchesThatTarget) {
  FakeNvidia nvidia = Nvidia({{std::string(64, 'N')}});
  fake = &nvidia;
  nlohmann::json answer;
  std::ostringstream out;
  EXPECT_EQ(CollectNvidiaStats(answer, std::string(64, 'N'), out, FakeFunctions()), 0);
  EXPECT_EQ(answer.value("gpuHWApi", ""), "NVAPI");
  fake = nullptr;
}
// The fake library of tests/doubles/ loaded for real: the query interface with the header's ids and
// the functions' calling convention, in this flavor.
TEST(NvidiaStats, ThroughTheFakeLibrary) {
  const nlohmann::json fixed = {{{1500000, 0}, {7000000, 0}}};
  const auto Display1 = [&](nlohmann::json fields) {
    nlohmann::json answers = {{"displays", {{{"name", kTarget}}}}, {"pstates", fixed}};
    answers.update(fields);
    return answers;
  };
  struct Case {
    const char* shows;
    nlohmann::json answers;
    int result;
    std::string output;
    nlohmann::json answer;
  };
  const Case cases[] = {
      {"driver 45628, 8388608 KB, a fixed first P-state", Display1(nlohmann::json::object()), 0,
       kLaunch + kLinked + GpuLines("456.28", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.28", "8192"), "1500", "3500")},
      {"driver 45605, 1048575 KB", Display1({{"driverVersion", 45605}, {"dedicatedKb", 1048575}}), 0,
       kLaunch + kLinked + GpuLines("456.05", "1023") + kFixedLines,
       WithClocks(GpuMembers("456.05", "1023"), "1500", "3500")},
      {"driver 45610", Display1({{"driverVersion", 45610}}), 0,
       kLaunch + kLinked + GpuLines("456.10", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.10", "8192"), "1500", "3500")},
      {"a ranged first P-state",
       Display1({{"pstates", {{{300000, 1900000}, {405000, 0}}, {{5000000, 0}, {9000000, 10000000}}}}}),
       0,
       kLaunch + kLinked + GpuLines("456.28", "8192") +
           "S: DEBUG: NV (C,CX,CN,M,MX,MN) MHz 0=(300,1900,300,202,0,202) "
           "1=(5000,0,5000,4500,5000,4500) \nB: INFO: NGPU Max C MHz: 1900\n"
           "B: INFO: NGPU Max M MHz: 202\n",
       WithClocks(GpuMembers("456.28", "8192"), "1900", "202")},
      {"one clock per P-state: an error line, the other members kept", Display1({{"numClocks", 1}}),
       1, kLaunch + kLinked + GpuLines("456.28", "8192") + "S: ERROR: pstates(1) numclocks(1)\n",
       GpuMembers("456.28", "8192")},
      {"a zero GPU count: the display is passed over",
       Display1({{"displays", {{{"name", kTarget}, {"gpuCount", 0}}}}}), 1,
       kLaunch + kLinked + "S: ERROR: failed to get gpu from display: fake status 0\n", nullptr},
      {"a GPU count larger than the array: the first GPU is read",
       Display1({{"displays", {{{"name", kTarget}, {"gpuCount", 1000}}}}}), 0,
       kLaunch + kLinked + GpuLines("456.28", "8192") + kFixedLines,
       WithClocks(GpuMembers("456.28", "8192"), "1500", "3500")},
      {"a library that does not initialise", Display1({{"initializeStatus", -1}}), 0,
       kLaunch + "S: INFO: NVAPI library not found\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    TempDir dir;
    PlaceFakeNvapi(dir, c.answers);
    nlohmann::json answer;
    std::ostringstream out;
    {
      // Freed before the folder goes.
      const LoadedLibrary library(dir.File(kNvApiLibraryName).c_str());
      ASSERT_TRUE(library.loaded());
      EXPECT_EQ(CollectNvidiaStats(answer, kTarget, out, QueryNvApiFunctions(library)), c.result);
    }
    EXPECT_EQ(out.str(), c.output);
    EXPECT_EQ(answer, c.answer);
  }
}
}  // namespace
