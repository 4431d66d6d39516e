#pragma once
// What the suite calls of the AMD Display Library, declared from its published
// description: the entry points' types and the records at their real layout, the same in both
// flavors. The program and the test's fake library both use these declarations.
#include <cstddef>
#include <cstdint>

constexpr int kAdlOk = 0;
constexpr int kAdlOkWithWarning = 1;

constexpr size_t kAdlTextSize = 256;
using AdlText = char[kAdlTextSize];  // zero-terminated, when the library keeps to it

struct AdlContextOpaque;
using AdlContext = AdlContextOpaque*;

// The library allocates what it hands back through this callback.
using AdlMemoryAllocFunction = void*(__stdcall*)(int size);

struct AdapterInfo {
  int32_t iSize;
  int32_t iAdapterIndex;
  AdlText strUDID;
  int32_t busDeviceFunctionVendor[4];
  AdlText strAdapterName;
  AdlText strDisplayName;
  int32_t presentExist[2];
  AdlText driverPaths[3];
  int32_t iOSDisplayIndex;
};
static_assert(sizeof(AdapterInfo) == 1572, "adapter info");
static_assert(offsetof(AdapterInfo, iAdapterIndex) == 4, "adapter index");
static_assert(offsetof(AdapterInfo, strAdapterName) == 280, "adapter name");
static_assert(offsetof(AdapterInfo, strDisplayName) == 536, "display name");

struct ADLODNCapabilities {
  int32_t iMaximumNumberOfPerformanceLevels;
  int32_t rest[40];
};
static_assert(sizeof(ADLODNCapabilities) == 164, "OverdriveN capabilities");

struct ADLODNPerformanceLevel {
  int32_t iClock;  // 10 kHz
  int32_t iVddc;
  int32_t iEnabled;
};
static_assert(sizeof(ADLODNPerformanceLevel) == 12, "OverdriveN level");
static_assert(offsetof(ADLODNPerformanceLevel, iEnabled) == 8, "OverdriveN level enabled");

// A header followed by as many levels as the buffer was made for.
struct ADLODNPerformanceLevels {
  int32_t iSize;  // bytes of the whole buffer
  int32_t iMode;
  int32_t iNumberOfPerformanceLevels;
  ADLODNPerformanceLevel aLevels[1];
};
static_assert(offsetof(ADLODNPerformanceLevels, iNumberOfPerformanceLevels) == 8, "OverdriveN count");
static_assert(offsetof(ADLODNPerformanceLevels, aLevels) == 12, "OverdriveN levels");

struct ADLVersionsInfoX2 {
  AdlText strDriverVer;
  AdlText strCatalystVersion;
  AdlText strCrimsonVersion;
  AdlText strCatalystWebLink;
};
static_assert(sizeof(ADLVersionsInfoX2) == 1024, "driver versions");
static_assert(offsetof(ADLVersionsInfoX2, strCrimsonVersion) == 512, "driver version");

struct ADLBiosInfo {
  AdlText strPartNumber;
  AdlText strVersion;
  AdlText strDate;
};
static_assert(sizeof(ADLBiosInfo) == 768, "BIOS info");
static_assert(offsetof(ADLBiosInfo, strVersion) == 256, "BIOS version");

struct ADLMemoryInfo {
  int64_t iMemorySize;  // bytes
  AdlText strMemoryType;
  int64_t iMemoryBandwidth;
};
static_assert(sizeof(ADLMemoryInfo) == 272, "memory info");
static_assert(offsetof(ADLMemoryInfo, iMemoryBandwidth) == 264, "memory bandwidth");

struct ADLOD6ParameterRange {
  int32_t iMin, iMax, iStep;  // 10 kHz
};
static_assert(sizeof(ADLOD6ParameterRange) == 12, "Overdrive 6 range");

constexpr int32_t kAdlOd6EngineClock = 1;  // iCapabilities bits
constexpr int32_t kAdlOd6MemoryClock = 2;
struct ADLOD6Capabilities {
  int32_t iCapabilities;
  int32_t iSupportedStates;
  int32_t iNumberOfPerformanceLevels;
  ADLOD6ParameterRange sEngineClockRange;
  ADLOD6ParameterRange sMemoryClockRange;
  int32_t iExtValue;
  int32_t iExtMask;
};
static_assert(sizeof(ADLOD6Capabilities) == 44, "Overdrive 6 capabilities");
static_assert(offsetof(ADLOD6Capabilities, sEngineClockRange) == 12, "engine clock range");
static_assert(offsetof(ADLOD6Capabilities, sMemoryClockRange) == 24, "memory clock range");

struct ADLOD6PerformanceLevel {
  int32_t iEngineClock;  // 10 kHz
  int32_t iMemoryClock;
};
static_assert(sizeof(ADLOD6PerformanceLevel) == 8, "Overdrive 6 level");

constexpr int kAdlOd6DefaultState = 1;  // ADL_Overdrive6_StateInfo_Get state types
constexpr int kAdlOd6CustomState = 4;
// The state record as the program passes it: room for exactly two levels.
struct ADLOD6StateInfo {
  int32_t iNumberOfPerformanceLevels;
  int32_t iExtValue;
  int32_t iExtMask;
  ADLOD6PerformanceLevel aLevels[2];
};
static_assert(sizeof(ADLOD6StateInfo) == 28, "Overdrive 6 state");
static_assert(offsetof(ADLOD6StateInfo, aLevels) == 12, "Overdrive 6 state levels");

struct ADLODParameterRange {
  int32_t iMin, iMax, iStep;
};
struct ADLODParameters {
  int32_t iSize;
  int32_t iNumberOfPerformanceLevels;
  int32_t iActivityReportingSupported;
  int32_t iDiscretePerformanceLevels;
  int32_t iReserved;
  ADLODParameterRange sEngineClock;
  ADLODParameterRange sMemoryClock;
  ADLODParameterRange sVddc;
};
static_assert(sizeof(ADLODParameters) == 56, "Overdrive 5 parameters");
static_assert(offsetof(ADLODParameters, iNumberOfPerformanceLevels) == 4, "Overdrive 5 count");

struct ADLODPerformanceLevel {
  int32_t iEngineClock;  // 10 kHz
  int32_t iMemoryClock;
  int32_t iVddc;
};
static_assert(sizeof(ADLODPerformanceLevel) == 12, "Overdrive 5 level");

constexpr int kAdlOd5DefaultValues = 1;  // ADL_Overdrive5_ODPerformanceLevels_Get
constexpr int kAdlOd5CurrentValues = 0;
// A header followed by as many levels as the buffer was made for.
struct ADLODPerformanceLevels {
  int32_t iSize;  // bytes of the whole buffer
  int32_t iReserved;
  ADLODPerformanceLevel aLevels[1];
};
static_assert(offsetof(ADLODPerformanceLevels, aLevels) == 8, "Overdrive 5 levels");

constexpr int kAdlConnectedAdaptersOnly = 1;  // the create calls' enumeration choice

// Every entry point is __cdecl and returns a status.
using AdlMainControlCreateFunction = int(__cdecl*)(AdlMemoryAllocFunction alloc, int connectedOnly);
using AdlMainControlDestroyFunction = int(__cdecl*)();
using Adl2MainControlCreateFunction = int(__cdecl*)(AdlMemoryAllocFunction alloc, int connectedOnly,
                                                    AdlContext* context);
using Adl2MainControlDestroyFunction = int(__cdecl*)(AdlContext context);
using Adl2NumberOfAdaptersFunction = int(__cdecl*)(AdlContext context, int* count);
using Adl2AdapterInfoFunction = int(__cdecl*)(AdlContext context, AdapterInfo* info, int size);
using Adl2DisplayModesFunction = int(__cdecl*)(AdlContext context, int adapter, int display,
                                               int* count, void** modes);
using Adl2AdapterActiveFunction = int(__cdecl*)(AdlContext context, int adapter, int* active);
using Adl2OverdriveCapsFunction = int(__cdecl*)(AdlContext context, int adapter, int* supported,
                                                int* enabled, int* version);
using Adl2OdnCapabilitiesFunction = int(__cdecl*)(AdlContext context, int adapter,
                                                  ADLODNCapabilities* capabilities);
using Adl2OdnClocksFunction = int(__cdecl*)(AdlContext context, int adapter,
                                            ADLODNPerformanceLevels* levels);
using Adl2VersionsFunction = int(__cdecl*)(AdlContext context, ADLVersionsInfoX2* versions);
using Adl2BiosInfoFunction = int(__cdecl*)(AdlContext context, int adapter, ADLBiosInfo* bios);
using Adl2MemoryInfoFunction = int(__cdecl*)(AdlContext context, int adapter, ADLMemoryInfo* memory);
using AdlOd6StateInfoFunction = int(__cdecl*)(int adapter, int stateType, ADLOD6StateInfo* state);
using AdlOd6CapabilitiesFunction = int(__cdecl*)(int adapter, ADLOD6Capabilities* capabilities);
using AdlOd5ParametersFunction = int(__cdecl*)(int adapter, ADLODParameters* parameters);
using AdlOd5LevelsFunction = int(__cdecl*)(int adapter, int defaultValues,
                                           ADLODPerformanceLevels* levels);

// The library's names, tried in this order.
constexpr const char kAdlLibraryName[] = "atiadlxx.dll";
constexpr const char kAdlFallbackLibraryName[] = "atiadlxy.dll";
