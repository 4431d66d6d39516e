#include "gpustats/nvapi_library.h"

namespace {
template <typename Function>
void Query(NvQueryInterfaceFunction queryInterface, unsigned int id, Function& function) {
  function = reinterpret_cast<Function>(queryInterface(id));
}
}  // namespace

bool NvApiFunctions::complete() const {
  return initialize && unload && getErrorMessage && enumNvidiaDisplayHandle &&
         getAssociatedNvidiaDisplayName && getPhysicalGpusFromDisplay && gpuGetFullName &&
         sysGetDriverAndBranchVersion && gpuGetVbiosVersionString && gpuGetMemoryInfo &&
         gpuGetPstates20;
}

NvApiFunctions QueryNvApiFunctions(const LoadedLibrary& library) {
  NvApiFunctions api;
  const auto queryInterface = library.Symbol<NvQueryInterfaceFunction>(kNvQueryInterfaceName);
  if (queryInterface == nullptr) return api;
  Query(queryInterface, nvapi_id::kInitialize, api.initialize);
  Query(queryInterface, nvapi_id::kUnload, api.unload);
  Query(queryInterface, nvapi_id::kGetErrorMessage, api.getErrorMessage);
  Query(queryInterface, nvapi_id::kEnumNvidiaDisplayHandle, api.enumNvidiaDisplayHandle);
  Query(queryInterface, nvapi_id::kGetAssociatedDisplayName, api.getAssociatedNvidiaDisplayName);
  Query(queryInterface, nvapi_id::kGetPhysicalGpusFromDisplay, api.getPhysicalGpusFromDisplay);
  Query(queryInterface, nvapi_id::kGpuGetFullName, api.gpuGetFullName);
  Query(queryInterface, nvapi_id::kSysGetDriverAndBranchVersion, api.sysGetDriverAndBranchVersion);
  Query(queryInterface, nvapi_id::kGpuGetVbiosVersionString, api.gpuGetVbiosVersionString);
  Query(queryInterface, nvapi_id::kGpuGetMemoryInfo, api.gpuGetMemoryInfo);
  Query(queryInterface, nvapi_id::kGpuGetPstates20, api.gpuGetPstates20);
  return api;
}
