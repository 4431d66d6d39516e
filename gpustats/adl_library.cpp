#include "gpustats/adl_library.h"

#include <cstdlib>

#include "common/child_lines.h"

namespace {
template <typename Function>
void Resolve(const LoadedLibrary& library, const char* name, Function& function) {
  function = library.Symbol<Function>(name);
}
}  // namespace

AdlFunctions ResolveAdlFunctions(const LoadedLibrary& library) {
  AdlFunctions adl;
  Resolve(library, "ADL_Main_Control_Create", adl.mainControlCreate);
  Resolve(library, "ADL_Main_Control_Destroy", adl.mainControlDestroy);
  Resolve(library, "ADL2_Main_Control_Create", adl.main2ControlCreate);
  Resolve(library, "ADL2_Main_Control_Destroy", adl.main2ControlDestroy);
  Resolve(library, "ADL2_Adapter_NumberOfAdapters_Get", adl.numberOfAdaptersGet);
  Resolve(library, "ADL2_Adapter_AdapterInfo_Get", adl.adapterInfoGet);
  Resolve(library, "ADL2_Display_Modes_Get", adl.displayModesGet);
  Resolve(library, "ADL2_Adapter_Active_Get", adl.adapterActiveGet);
  Resolve(library, "ADL2_Overdrive_Caps", adl.overdriveCaps);
  Resolve(library, "ADL2_Adapter_MemoryInfo_Get", adl.memoryInfoGet);
  Resolve(library, "ADL2_Graphics_VersionsX2_Get", adl.versionsX2Get);
  Resolve(library, "ADL2_Adapter_VideoBiosInfo_Get", adl.videoBiosInfoGet);
  Resolve(library, "ADL2_OverdriveN_Capabilities_Get", adl.overdriveNCapabilitiesGet);
  Resolve(library, "ADL2_OverdriveN_SystemClocks_Get", adl.overdriveNSystemClocksGet);
  Resolve(library, "ADL2_OverdriveN_MemoryClocks_Get", adl.overdriveNMemoryClocksGet);
  Resolve(library, "ADL_Overdrive6_StateInfo_Get", adl.overdrive6StateInfoGet);
  Resolve(library, "ADL_Overdrive6_Capabilities_Get", adl.overdrive6CapabilitiesGet);
  Resolve(library, "ADL_Overdrive5_ODParameters_Get", adl.overdrive5ParametersGet);
  Resolve(library, "ADL_Overdrive5_ODPerformanceLevels_Get", adl.overdrive5LevelsGet);
  return adl;
}

int ReportMissingAdlGroups(const AdlFunctions& adl, std::ostream& out) {
  struct Group {
    bool complete;
    const char* line;
  };
  const Group groups[] = {
      {adl.mainControlCreate && adl.mainControlDestroy && adl.main2ControlCreate &&
           adl.main2ControlDestroy && adl.numberOfAdaptersGet && adl.adapterInfoGet &&
           adl.displayModesGet && adl.adapterActiveGet && adl.overdriveCaps,
       "ERROR: ADL2 core missing"},
      {adl.memoryInfoGet && adl.versionsX2Get && adl.videoBiosInfoGet,
       "ERROR: ADL2 sysinfo API missing"},
      {adl.overdriveNCapabilitiesGet && adl.overdriveNSystemClocksGet &&
           adl.overdriveNMemoryClocksGet,
       "ERROR: ADL2 overdriveN missing"},
      {adl.overdrive6StateInfoGet && adl.overdrive6CapabilitiesGet, "ERROR: ADL overDrive6 missing"},
      {adl.overdrive5ParametersGet && adl.overdrive5LevelsGet, "ERROR: ADL overDrive5 missing"},
  };
  int result = 0;
  for (const Group& group : groups) {
    if (group.complete) continue;
    PrintLogLine(out, group.line);
    result = -1;
  }
  return result;
}

int LoadAdlLibrary(const std::vector<std::string>& names, LoadedLibrary& library, AdlFunctions& adl,
                   std::ostream& out) {
  adl = AdlFunctions();
  library.reset();
  for (const std::string& name : names) {
    library = LoadedLibrary(name.c_str());
    if (library) break;
  }
  if (!library) {
    PrintLogLine(out, "INFO: ADL library not found");
    return -1;
  }
  adl = ResolveAdlFunctions(library);
  return ReportMissingAdlGroups(adl, out);
}

void* __stdcall AdlMemoryAlloc(int size) {
  if (size < 0) return nullptr;
  return std::malloc(static_cast<size_t>(size));
}
