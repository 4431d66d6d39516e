#pragma once
// The part of NVIDIA's driver interface NVAPI that the suite calls, declared from its published
// description: the query-interface ids, the function types and the records at their real layout.
// The program and the test's fake library both use these declarations.
#include <cstddef>
#include <cstdint>

using NvStatus = int32_t;
constexpr NvStatus kNvOk = 0;
constexpr NvStatus kNvEndEnumeration = -7;  // NVAPI_END_ENUMERATION

struct NvDisplayOpaque;
struct NvGpuOpaque;
using NvDisplayHandle = NvDisplayOpaque*;
using NvPhysicalGpuHandle = NvGpuOpaque*;

constexpr size_t kNvShortStringSize = 64;
using NvShortString = char[kNvShortStringSize];  // zero-terminated
constexpr size_t kNvMaxPhysicalGpus = 64;

// A version word holds the record's size in its low 16 bits and its version in the high ones.
constexpr uint32_t NvVersionWord(size_t size, uint32_t version) {
  return static_cast<uint32_t>(size) | (version << 16);
}

struct NvDriverMemoryInfo {  // NV_DISPLAY_DRIVER_MEMORY_INFO, version 1
  uint32_t version;
  uint32_t dedicatedVideoMemory;  // KB
  uint32_t availableDedicatedVideoMemory;
  uint32_t systemVideoMemory;
  uint32_t sharedSystemMemory;
};
static_assert(sizeof(NvDriverMemoryInfo) == 20, "memory info");
static_assert(offsetof(NvDriverMemoryInfo, dedicatedVideoMemory) == 4, "dedicated memory");
constexpr uint32_t kNvDriverMemoryInfoVersion = NvVersionWord(sizeof(NvDriverMemoryInfo), 1);
static_assert(kNvDriverMemoryInfoVersion == 0x10014, "memory info version word");

struct NvPstateClock {  // one clock entry of a P-state
  uint32_t domainId;
  uint32_t typeId;
  uint32_t flags;
  int32_t frequencyDelta[3];
  uint32_t freq_kHz;     // a fixed clock's frequency, or a range's minimum
  uint32_t maxFreq_kHz;  // a range's maximum
  uint32_t rangeRest[3];
};
static_assert(sizeof(NvPstateClock) == 44, "clock entry");
static_assert(offsetof(NvPstateClock, freq_kHz) == 24, "frequency");
static_assert(offsetof(NvPstateClock, maxFreq_kHz) == 28, "range maximum");

struct NvPstate {
  uint32_t pstateId;
  uint32_t flags;
  NvPstateClock clocks[8];
  uint8_t baseVoltages[4 * 24];
};
static_assert(sizeof(NvPstate) == 456, "P-state");
static_assert(offsetof(NvPstate, clocks) == 8, "clocks");

struct NvPstates20Info {  // NV_GPU_PERF_PSTATES20_INFO, version 3
  uint32_t version;
  uint32_t flags;
  uint32_t numPstates;
  uint32_t numClocks;
  uint32_t numBaseVoltages;
  NvPstate pstates[16];
  uint8_t overVoltage[100];
};
static_assert(sizeof(NvPstates20Info) == 7416, "P-state table");
static_assert(offsetof(NvPstates20Info, numPstates) == 8, "P-state count");
static_assert(offsetof(NvPstates20Info, numClocks) == 12, "clock count");
static_assert(offsetof(NvPstates20Info, pstates) == 20, "P-states");
static_assert(offsetof(NvPstates20Info, overVoltage) == 7316, "over-voltage block");
constexpr uint32_t kNvPstates20InfoVersion = NvVersionWord(sizeof(NvPstates20Info), 3);
static_assert(kNvPstates20InfoVersion == 0x31CF8, "P-state table version word");

// Every function the library hands out is __cdecl and returns a status.
using NvQueryInterfaceFunction = void*(__cdecl*)(unsigned int id);
using NvInitializeFunction = NvStatus(__cdecl*)();
using NvUnloadFunction = NvStatus(__cdecl*)();
using NvGetErrorMessageFunction = NvStatus(__cdecl*)(NvStatus status, char* text);
using NvEnumDisplayFunction = NvStatus(__cdecl*)(uint32_t index, NvDisplayHandle* display);
using NvDisplayNameFunction = NvStatus(__cdecl*)(NvDisplayHandle display, char* name);
using NvGpusFromDisplayFunction = NvStatus(__cdecl*)(NvDisplayHandle display,
                                                     NvPhysicalGpuHandle* gpus, uint32_t* count);
using NvGpuTextFunction = NvStatus(__cdecl*)(NvPhysicalGpuHandle gpu, char* text);
using NvDriverVersionFunction = NvStatus(__cdecl*)(uint32_t* version, char* branch);
using NvMemoryInfoFunction = NvStatus(__cdecl*)(NvPhysicalGpuHandle gpu, NvDriverMemoryInfo* info);
using NvPstatesFunction = NvStatus(__cdecl*)(NvPhysicalGpuHandle gpu, NvPstates20Info* info);

// The query-interface ids, each beside its function.
namespace nvapi_id {
constexpr unsigned int kInitialize = 0x0150E828;                 // NvAPI_Initialize
constexpr unsigned int kUnload = 0xD22BDD7E;                     // NvAPI_Unload
constexpr unsigned int kGetErrorMessage = 0x6C2D048C;            // NvAPI_GetErrorMessage
constexpr unsigned int kEnumNvidiaDisplayHandle = 0x9ABDD40D;    // NvAPI_EnumNvidiaDisplayHandle
constexpr unsigned int kGetAssociatedDisplayName = 0x22A78B05;   // NvAPI_GetAssociatedNvidiaDisplayName
constexpr unsigned int kGetPhysicalGpusFromDisplay = 0x34EF9506; // NvAPI_GetPhysicalGPUsFromDisplay
constexpr unsigned int kGpuGetFullName = 0xCEEE8E9F;             // NvAPI_GPU_GetFullName
constexpr unsigned int kSysGetDriverAndBranchVersion = 0x2926AAAD; // NvAPI_SYS_GetDriverAndBranchVersion
constexpr unsigned int kGpuGetVbiosVersionString = 0xA561FD7D;   // NvAPI_GPU_GetVbiosVersionString
constexpr unsigned int kGpuGetMemoryInfo = 0x07F9B368;           // NvAPI_GPU_GetMemoryInfo
constexpr unsigned int kGpuGetPstates20 = 0x6FF81213;            // NvAPI_GPU_GetPstates20
}  // namespace nvapi_id

// The library's one export, looked up by this name.
constexpr const char kNvQueryInterfaceName[] = "nvapi_QueryInterface";
#ifdef _WIN64
constexpr const char kNvApiLibraryName[] = "nvapi64.dll";
#else
constexpr const char kNvApiLibraryName[] = "nvapi.dll";
#endif
