// A stand-in for NVIDIA's driver library: its one export hands out the functions of the ids in
// the program's own table and answers from the description file nvapi_answers.json beside it.
#include <cstdio>
#include <cstdint>
#include <iterator>

#include "gpustats/nvapi_types.h"
#include "tests/doubles/fake_library_answers.h"

namespace {
nlohmann::json answers = nlohmann::json::object();

// Display i has handle i + 1, the one GPU the handle 0x100.
NvPhysicalGpuHandle FakeGpu() { return reinterpret_cast<NvPhysicalGpuHandle>(0x100); }
const nlohmann::json& DisplayOf(NvDisplayHandle display) {
  return answers["displays"][reinterpret_cast<uintptr_t>(display) - 1];
}
std::string Text(const char* key, const char* otherwise) { return answers.value(key, otherwise); }

NvStatus __cdecl Initialize() {
  answers = ReadAnswersBeside(reinterpret_cast<const void*>(&Initialize), "nvapi_answers.json");
  return answers.value("initializeStatus", kNvOk);
}
NvStatus __cdecl Unload() { return kNvOk; }
NvStatus __cdecl GetErrorMessage(NvStatus status, char* text) {
  std::snprintf(text, kNvShortStringSize, "fake status %d", static_cast<int>(status));
  return kNvOk;
}
NvStatus __cdecl EnumDisplay(uint32_t index, NvDisplayHandle* display) {
  if (index >= answers.value("displays", nlohmann::json::array()).size()) {
    return answers.value("enumEndStatus", kNvEndEnumeration);
  }
  *display = reinterpret_cast<NvDisplayHandle>(static_cast<uintptr_t>(index + 1));
  return kNvOk;
}
NvStatus __cdecl DisplayName(NvDisplayHandle display, char* name) {
  CopyAnswerText(name, kNvShortStringSize, DisplayOf(display).value("name", ""));
  return kNvOk;
}
// Writes only the first handle, whatever count it claims.
NvStatus __cdecl GpusFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle* gpus, uint32_t* count) {
  gpus[0] = FakeGpu();
  *count = DisplayOf(display).value("gpuCount", 1u);
  return DisplayOf(display).value("gpusStatus", kNvOk);
}
NvStatus __cdecl FullName(NvPhysicalGpuHandle gpu, char* text) {
  if (gpu != FakeGpu()) return -5;
  CopyAnswerText(text, kNvShortStringSize, Text("gpuName", "GeForce Fake"));
  return kNvOk;
}
NvStatus __cdecl DriverVersion(uint32_t* version, char* branch) {
  *version = answers.value("driverVersion", 45628u);
  CopyAnswerText(branch, kNvShortStringSize, "r456_00");
  return kNvOk;
}
NvStatus __cdecl Vbios(NvPhysicalGpuHandle gpu, char* text) {
  CopyAnswerText(text, kNvShortStringSize, Text("bios", "90.04.23.00.5F"));
  return kNvOk;
}
// Records with a wrong version word are refused, as the driver does.
NvStatus __cdecl MemoryInfo(NvPhysicalGpuHandle gpu, NvDriverMemoryInfo* info) {
  if (info->version != kNvDriverMemoryInfoVersion) return -9;
  info->dedicatedVideoMemory = answers.value("dedicatedKb", 8388608u);
  return kNvOk;
}
// "pstates": one [[graphics low, high], [memory low, high]] per P-state, kHz; high 0 is fixed.
NvStatus __cdecl Pstates(NvPhysicalGpuHandle gpu, NvPstates20Info* info) {
  if (info->version != kNvPstates20InfoVersion) return -9;
  const NvStatus status = answers.value("pstatesStatus", kNvOk);
  if (status != kNvOk) return status;
  const nlohmann::json pstates = answers.value("pstates", nlohmann::json::array());
  info->numPstates = static_cast<uint32_t>(pstates.size());
  info->numClocks = answers.value("numClocks", 2u);
  for (size_t p = 0; p < pstates.size() && p < std::size(info->pstates); ++p) {
    for (size_t c = 0; c < 2; ++c) {
      NvPstateClock& clock = info->pstates[p].clocks[c];
      clock.domainId = c == 0 ? 0 : 4;
      clock.typeId = pstates[p][c][1] == 0 ? 0 : 1;
      clock.freq_kHz = pstates[p][c][0];
      clock.maxFreq_kHz = pstates[p][c][1];
    }
  }
  return kNvOk;
}

// Each function passes through the program's own type, so a signature that differs fails to build.
template <typename Function>
void* Export(Function function) {
  return reinterpret_cast<void*>(function);
}
}  // namespace

extern "C" __declspec(dllexport) void* __cdecl nvapi_QueryInterface(unsigned int id) {
  switch (id) {
    case nvapi_id::kInitialize: return Export<NvInitializeFunction>(Initialize);
    case nvapi_id::kUnload: return Export<NvUnloadFunction>(Unload);
    case nvapi_id::kGetErrorMessage: return Export<NvGetErrorMessageFunction>(GetErrorMessage);
    case nvapi_id::kEnumNvidiaDisplayHandle: return Export<NvEnumDisplayFunction>(EnumDisplay);
    case nvapi_id::kGetAssociatedDisplayName: return Export<NvDisplayNameFunction>(DisplayName);
    case nvapi_id::kGetPhysicalGpusFromDisplay: return Export<NvGpusFromDisplayFunction>(GpusFromDisplay);
    case nvapi_id::kGpuGetFullName: return Export<NvGpuTextFunction>(FullName);
    case nvapi_id::kSysGetDriverAndBranchVersion: return Export<NvDriverVersionFunction>(DriverVersion);
    case nvapi_id::kGpuGetVbiosVersionString: return Export<NvGpuTextFunction>(Vbios);
    case nvapi_id::kGpuGetMemoryInfo: return Export<NvMemoryInfoFunction>(MemoryInfo);
    case nvapi_id::kGpuGetPstates20: return Export<NvPstatesFunction>(Pstates);
    default: return nullptr;
  }
}
