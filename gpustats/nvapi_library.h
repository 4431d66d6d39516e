#pragma once
// NVAPI's functions, obtained from the driver library through its query-interface export.
#include "common/platform/loaded_library.h"
#include "gpustats/nvapi_types.h"

struct NvApiFunctions {
  NvInitializeFunction initialize = nullptr;
  NvUnloadFunction unload = nullptr;
  NvGetErrorMessageFunction getErrorMessage = nullptr;
  NvEnumDisplayFunction enumNvidiaDisplayHandle = nullptr;
  NvDisplayNameFunction getAssociatedNvidiaDisplayName = nullptr;
  NvGpusFromDisplayFunction getPhysicalGpusFromDisplay = nullptr;
  NvGpuTextFunction gpuGetFullName = nullptr;
  NvDriverVersionFunction sysGetDriverAndBranchVersion = nullptr;
  NvGpuTextFunction gpuGetVbiosVersionString = nullptr;
  NvMemoryInfoFunction gpuGetMemoryInfo = nullptr;
  NvPstatesFunction gpuGetPstates20 = nullptr;

  // Every function is there: a library without one of them cannot serve the stage.
  bool complete() const;
};

// The functions of the loaded library; all null when it is not loaded or has no query interface.
NvApiFunctions QueryNvApiFunctions(const LoadedLibrary& library);
