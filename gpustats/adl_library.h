#pragma once
// The AMD Display Library's entry points, resolved by name from the driver's library.
#include <ostream>
#include <string>
#include <vector>

#include "common/platform/loaded_library.h"
#include "gpustats/adl_types.h"

struct AdlFunctions {
  AdlMainControlCreateFunction mainControlCreate = nullptr;
  AdlMainControlDestroyFunction mainControlDestroy = nullptr;
  Adl2MainControlCreateFunction main2ControlCreate = nullptr;
  Adl2MainControlDestroyFunction main2ControlDestroy = nullptr;
  Adl2NumberOfAdaptersFunction numberOfAdaptersGet = nullptr;
  Adl2AdapterInfoFunction adapterInfoGet = nullptr;
  Adl2DisplayModesFunction displayModesGet = nullptr;
  Adl2AdapterActiveFunction adapterActiveGet = nullptr;
  Adl2OverdriveCapsFunction overdriveCaps = nullptr;
  Adl2MemoryInfoFunction memoryInfoGet = nullptr;
  Adl2VersionsFunction versionsX2Get = nullptr;
  Adl2BiosInfoFunction videoBiosInfoGet = nullptr;
  Adl2OdnCapabilitiesFunction overdriveNCapabilitiesGet = nullptr;
  Adl2OdnClocksFunction overdriveNSystemClocksGet = nullptr;
  Adl2OdnClocksFunction overdriveNMemoryClocksGet = nullptr;
  AdlOd6StateInfoFunction overdrive6StateInfoGet = nullptr;
  AdlOd6CapabilitiesFunction overdrive6CapabilitiesGet = nullptr;
  AdlOd5ParametersFunction overdrive5ParametersGet = nullptr;
  AdlOd5LevelsFunction overdrive5LevelsGet = nullptr;
};

// The nineteen entry points of a loaded library, each null when the library lacks it.
AdlFunctions ResolveAdlFunctions(const LoadedLibrary& library);

// Writes the line of each group with a missing entry point. 0 when every group is complete.
int ReportMissingAdlGroups(const AdlFunctions& adl, std::ostream& out);

// Loads the first of names that loads into library, which keeps it loaded, and resolves its
// entry points into adl. 0 when all nineteen are there, -1 otherwise (the lines say why).
int LoadAdlLibrary(const std::vector<std::string>& names, LoadedLibrary& library, AdlFunctions& adl,
                   std::ostream& out);

// The memory callback the library is given: a block from the runtime heap, or null. The library
// keeps what it allocates.
void* __stdcall AdlMemoryAlloc(int size);
