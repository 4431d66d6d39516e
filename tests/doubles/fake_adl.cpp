// A stand-in for the AMD Display Library: the nineteen entry points by their plain names, answering
// from the description file adl_answers.json beside the library. Built once more without the
// OverdriveN entry points (FAKE_ADL_WITHOUT_OVERDRIVEN) for a library that lacks that group.
#include <cstdint>

#include "gpustats/adl_types.h"
#include "tests/doubles/fake_library_answers.h"

#define ADL_EXPORT extern "C" __declspec(dllexport)

namespace {
nlohmann::json answers = nlohmann::json::object();
const nlohmann::json kNoAdapter = nlohmann::json::object();
const AdlContext kFakeContext = reinterpret_cast<AdlContext>(0x200);

nlohmann::json Adapters() { return answers.value("adapters", nlohmann::json::array()); }
// An adapter's "index" is its position unless the description says otherwise.
nlohmann::json AdapterOf(int index) {
  const nlohmann::json adapters = Adapters();
  for (size_t i = 0; i < adapters.size(); ++i) {
    if (adapters[i].value("index", static_cast<int>(i)) == index) return adapters[i];
  }
  return kNoAdapter;
}
int Status(const nlohmann::json& from, const char* key) { return from.value(key, kAdlOk); }

// The library allocates through the caller's callback: one block proves it can be called.
bool CallsBack(AdlMemoryAllocFunction alloc) { return alloc != nullptr && alloc(16) != nullptr; }

#ifndef FAKE_ADL_WITHOUT_OVERDRIVEN
// "levels" of [clock, enabled] (OverdriveN) written into the levels the buffer has room for.
int WriteOdnLevels(const nlohmann::json& adapter, const char* key, ADLODNPerformanceLevels* levels) {
  const int status = Status(adapter, (std::string(key) + "Status").c_str());
  if (status != kAdlOk) return status;
  const int room = (levels->iSize - static_cast<int>(offsetof(ADLODNPerformanceLevels, aLevels))) /
                   static_cast<int>(sizeof(ADLODNPerformanceLevel));
  if (room != levels->iNumberOfPerformanceLevels) return -1;
  const nlohmann::json given = adapter.value(key, nlohmann::json::array());
  for (int i = 0; i < room && i < static_cast<int>(given.size()); ++i) {
    levels->aLevels[i].iClock = given[i][0];
    levels->aLevels[i].iEnabled = given[i][1];
  }
  return kAdlOk;
}
#endif
}  // namespace

ADL_EXPORT int __cdecl ADL_Main_Control_Create(AdlMemoryAllocFunction alloc, int connectedOnly) {
  if (!CallsBack(alloc)) return -1;
  return Status(answers, "olderCreateStatus");
}
ADL_EXPORT int __cdecl ADL_Main_Control_Destroy() { return kAdlOk; }

ADL_EXPORT int __cdecl ADL2_Main_Control_Create(AdlMemoryAllocFunction alloc, int connectedOnly,
                                                AdlContext* context) {
  answers = ReadAnswersBeside(reinterpret_cast<const void*>(&ADL2_Main_Control_Create),
                              "adl_answers.json");
  if (!CallsBack(alloc) || connectedOnly != 1) return -1;
  *context = kFakeContext;
  return Status(answers, "createStatus");
}
ADL_EXPORT int __cdecl ADL2_Main_Control_Destroy(AdlContext context) {
  return context == kFakeContext ? kAdlOk : -1;
}

ADL_EXPORT int __cdecl ADL2_Adapter_NumberOfAdapters_Get(AdlContext context, int* count) {
  *count = answers.value("count", static_cast<int>(Adapters().size()));
  return Status(answers, "countStatus");
}
// Fills only the entries the size passed has room for.
ADL_EXPORT int __cdecl ADL2_Adapter_AdapterInfo_Get(AdlContext context, AdapterInfo* info, int size) {
  const nlohmann::json adapters = Adapters();
  const size_t room = size > 0 ? static_cast<size_t>(size) / sizeof(AdapterInfo) : 0;
  for (size_t i = 0; i < room && i < adapters.size(); ++i) {
    info[i].iSize = sizeof(AdapterInfo);
    info[i].iAdapterIndex = adapters[i].value("index", static_cast<int>(i));
    CopyAnswerText(info[i].strAdapterName, kAdlTextSize, adapters[i].value("name", "Radeon Fake"));
    CopyAnswerText(info[i].strDisplayName, kAdlTextSize, adapters[i].value("display", ""));
  }
  return Status(answers, "infoStatus");
}
ADL_EXPORT int __cdecl ADL2_Display_Modes_Get(AdlContext context, int adapter, int display,
                                              int* count, void** modes) {
  return -1;
}
ADL_EXPORT int __cdecl ADL2_Adapter_Active_Get(AdlContext context, int adapter, int* active) {
  *active = AdapterOf(adapter).value("active", 1);
  return Status(AdapterOf(adapter), "activeStatus");
}
ADL_EXPORT int __cdecl ADL2_Overdrive_Caps(AdlContext context, int adapter, int* supported,
                                           int* enabled, int* version) {
  const nlohmann::json a = AdapterOf(adapter);
  if (Status(a, "capsStatus") != kAdlOk) return Status(a, "capsStatus");
  *supported = a.value("supported", 1);
  *enabled = a.value("enabled", 1);
  *version = a.value("version", 7);
  return kAdlOk;
}

ADL_EXPORT int __cdecl ADL2_Adapter_MemoryInfo_Get(AdlContext context, int adapter,
                                                   ADLMemoryInfo* memory) {
  memory->iMemorySize = AdapterOf(adapter).value("memorySize", int64_t{8589934592});
  return Status(AdapterOf(adapter), "memoryStatus");
}
ADL_EXPORT int __cdecl ADL2_Graphics_VersionsX2_Get(AdlContext context, ADLVersionsInfoX2* versions) {
  CopyAnswerText(versions->strDriverVer, kAdlTextSize, "27.20.12029.1000");
  CopyAnswerText(versions->strCrimsonVersion, kAdlTextSize, answers.value("driver", "20.9.1"));
  return Status(answers, "versionsStatus");
}
ADL_EXPORT int __cdecl ADL2_Adapter_VideoBiosInfo_Get(AdlContext context, int adapter,
                                                      ADLBiosInfo* bios) {
  CopyAnswerText(bios->strVersion, kAdlTextSize, AdapterOf(adapter).value("bios", "113-D1990100-O09"));
  return Status(AdapterOf(adapter), "biosStatus");
}

#ifndef FAKE_ADL_WITHOUT_OVERDRIVEN
ADL_EXPORT int __cdecl ADL2_OverdriveN_Capabilities_Get(AdlContext context, int adapter,
                                                        ADLODNCapabilities* capabilities) {
  capabilities->iMaximumNumberOfPerformanceLevels = AdapterOf(adapter).value("odnLevels", 0);
  return Status(AdapterOf(adapter), "odnCapsStatus");
}
ADL_EXPORT int __cdecl ADL2_OverdriveN_SystemClocks_Get(AdlContext context, int adapter,
                                                        ADLODNPerformanceLevels* levels) {
  return WriteOdnLevels(AdapterOf(adapter), "systemClocks", levels);
}
ADL_EXPORT int __cdecl ADL2_OverdriveN_MemoryClocks_Get(AdlContext context, int adapter,
                                                        ADLODNPerformanceLevels* levels) {
  return WriteOdnLevels(AdapterOf(adapter), "memoryClocks", levels);
}
#endif

// "od6Default" and "od6Custom": two [engine, memory] levels; "engineRange", "memoryRange": [min, max].
ADL_EXPORT int __cdecl ADL_Overdrive6_StateInfo_Get(int adapter, int stateType,
                                                    ADLOD6StateInfo* state) {
  const nlohmann::json a = AdapterOf(adapter);
  const char* key = stateType == kAdlOd6DefaultState  ? "od6Default"
                    : stateType == kAdlOd6CustomState ? "od6Custom"
                                                      : nullptr;
  if (key == nullptr || state->iNumberOfPerformanceLevels != 2) return -1;
  if (Status(a, (std::string(key) + "Status").c_str()) != kAdlOk) return -1;
  const nlohmann::json levels = a.value(key, nlohmann::json::array());
  for (size_t i = 0; i < 2 && i < levels.size(); ++i) {
    state->aLevels[i].iEngineClock = levels[i][0];
    state->aLevels[i].iMemoryClock = levels[i][1];
  }
  return kAdlOk;
}
ADL_EXPORT int __cdecl ADL_Overdrive6_Capabilities_Get(int adapter, ADLOD6Capabilities* capabilities) {
  const nlohmann::json a = AdapterOf(adapter);
  capabilities->iCapabilities = a.value("od6Capabilities", 3);
  const nlohmann::json engine = a.value("engineRange", nlohmann::json::array({0, 0}));
  const nlohmann::json memory = a.value("memoryRange", nlohmann::json::array({0, 0}));
  capabilities->sEngineClockRange = {engine[0], engine[1], 100};
  capabilities->sMemoryClockRange = {memory[0], memory[1], 100};
  return Status(a, "od6CapsStatus");
}

ADL_EXPORT int __cdecl ADL_Overdrive5_ODParameters_Get(int adapter, ADLODParameters* parameters) {
  if (parameters->iSize != sizeof(ADLODParameters)) return -1;
  parameters->iNumberOfPerformanceLevels = AdapterOf(adapter).value("od5Levels", 0);
  return Status(AdapterOf(adapter), "od5ParametersStatus");
}
// "od5Default" and "od5Current": [engine, memory] per level, written into the room the buffer has.
ADL_EXPORT int __cdecl ADL_Overdrive5_ODPerformanceLevels_Get(int adapter, int defaultValues,
                                                              ADLODPerformanceLevels* levels) {
  const nlohmann::json a = AdapterOf(adapter);
  const char* key = defaultValues != 0 ? "od5Default" : "od5Current";
  if (Status(a, (std::string(key) + "Status").c_str()) != kAdlOk) return -1;
  const int room = (levels->iSize - static_cast<int>(offsetof(ADLODPerformanceLevels, aLevels))) /
                   static_cast<int>(sizeof(ADLODPerformanceLevel));
  const nlohmann::json given = a.value(key, nlohmann::json::array());
  for (int i = 0; i < room && i < static_cast<int>(given.size()); ++i) {
    levels->aLevels[i].iEngineClock = given[i][0];
    levels->aLevels[i].iMemoryClock = given[i][1];
  }
  return kAdlOk;
}

// The entry points keep the program's own types: a signature that differs fails to build.
namespace {
[[maybe_unused]] const AdlMainControlCreateFunction kChecks1[] = {ADL_Main_Control_Create};
[[maybe_unused]] const AdlMainControlDestroyFunction kChecks2[] = {ADL_Main_Control_Destroy};
[[maybe_unused]] const Adl2MainControlCreateFunction kChecks3[] = {ADL2_Main_Control_Create};
[[maybe_unused]] const Adl2MainControlDestroyFunction kChecks4[] = {ADL2_Main_Control_Destroy};
[[maybe_unused]] const Adl2NumberOfAdaptersFunction kChecks5[] = {ADL2_Adapter_NumberOfAdapters_Get};
[[maybe_unused]] const Adl2AdapterInfoFunction kChecks6[] = {ADL2_Adapter_AdapterInfo_Get};
[[maybe_unused]] const Adl2DisplayModesFunction kChecks7[] = {ADL2_Display_Modes_Get};
[[maybe_unused]] const Adl2AdapterActiveFunction kChecks8[] = {ADL2_Adapter_Active_Get};
[[maybe_unused]] const Adl2OverdriveCapsFunction kChecks9[] = {ADL2_Overdrive_Caps};
[[maybe_unused]] const Adl2MemoryInfoFunction kChecks10[] = {ADL2_Adapter_MemoryInfo_Get};
[[maybe_unused]] const Adl2VersionsFunction kChecks11[] = {ADL2_Graphics_VersionsX2_Get};
[[maybe_unused]] const Adl2BiosInfoFunction kChecks12[] = {ADL2_Adapter_VideoBiosInfo_Get};
#ifndef FAKE_ADL_WITHOUT_OVERDRIVEN
[[maybe_unused]] const Adl2OdnCapabilitiesFunction kChecks13[] = {ADL2_OverdriveN_Capabilities_Get};
[[maybe_unused]] const Adl2OdnClocksFunction kChecks14[] = {ADL2_OverdriveN_SystemClocks_Get,
                                                            ADL2_OverdriveN_MemoryClocks_Get};
#endif
[[maybe_unused]] const AdlOd6StateInfoFunction kChecks15[] = {ADL_Overdrive6_StateInfo_Get};
[[maybe_unused]] const AdlOd6CapabilitiesFunction kChecks16[] = {ADL_Overdrive6_Capabilities_Get};
[[maybe_unused]] const AdlOd5ParametersFunction kChecks17[] = {ADL_Overdrive5_ODParameters_Get};
[[maybe_unused]] const AdlOd5LevelsFunction kChecks18[] = {ADL_Overdrive5_ODPerformanceLevels_Get};
}  // namespace
