#include "gpustats/nvidia_stats.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>

#include "common/child_lines.h"
#include "gpustats/fixed_text.h"
#include "gpustats/value_text.h"

namespace {
// 45628 reads 456.28, 45605 reads 456.05.
std::string DriverVersionText(uint32_t version) {
  const uint32_t minor = version % 100;
  return ToString<uint32_t>(version / 100) + "." + (minor < 10 ? "0" : "") + ToString<uint32_t>(minor);
}

struct PstateClocks {
  uint32_t core, coreMax, mem, memMax;
};
PstateClocks ClocksOf(const NvPstate& pstate) {
  return {pstate.clocks[0].freq_kHz / 1000, pstate.clocks[0].maxFreq_kHz / 1000,
          pstate.clocks[1].freq_kHz / 2000, pstate.clocks[1].maxFreq_kHz / 2000};
}

// The highest clocks of the first P-state; the others only appear in the debug line.
int ReportClocks(const NvPstates20Info& info, nlohmann::json& answer, std::ostream& out) {
  if (info.numPstates == 0 || info.numClocks < 2) {
    PrintLogLine(out, "ERROR: pstates(", info.numPstates, ") numclocks(", info.numClocks, ")");
    return 1;
  }
  const uint32_t shown = std::min<uint32_t>(info.numPstates, std::size(info.pstates));
  std::ostringstream line;
  for (uint32_t p = 0; p < shown; ++p) {
    const PstateClocks c = ClocksOf(info.pstates[p]);
    line << p << "=(" << c.core << "," << c.coreMax << "," << c.core << "," << c.mem << ","
         << c.memMax << "," << c.mem << ") ";
  }
  PrintLogLine(out, "DEBUG: NV (C,CX,CN,M,MX,MN) MHz ", line.str());
  const PstateClocks first = ClocksOf(info.pstates[0]);
  const uint32_t maxCore = std::max(first.core, first.coreMax);
  const uint32_t maxMem = std::max(first.mem, first.memMax);
  PrintBothLine(out, "INFO: NGPU Max C MHz: ", maxCore);
  PrintBothLine(out, "INFO: NGPU Max M MHz: ", maxMem);
  answer["gpuHWMaxC"] = ToString(static_cast<int32_t>(maxCore));
  answer["gpuHWMaxM"] = ToString(static_cast<int32_t>(maxMem));
  return 0;
}

// Reads the GPU of a matched display. False when the enumeration must end.
bool ReportGpu(const NvApiFunctions& api, NvPhysicalGpuHandle gpu, nlohmann::json& answer,
               std::ostream& out, int& result) {
  answer["gpuHWApi"] = "NVAPI";
  NvShortString text = {};
  NvStatus status = api.gpuGetFullName(gpu, text);
  if (status != kNvOk) {
    PrintLogLine(out, "ERROR: GPU_GetFullName: ", NvStatusText(api, status));
    result = 1;
  } else {
    PrintBothLine(out, "INFO: NGPU Name: ", FixedText(text));
  }
  uint32_t version = 0;
  NvShortString branch = {};
  status = api.sysGetDriverAndBranchVersion(&version, branch);
  if (status != kNvOk) {
    PrintLogLine(out, "ERROR: SYS_GetDriverAndBranchVersion: ", NvStatusText(api, status));
    result = 1;
  } else {
    const std::string driver = DriverVersionText(version);
    PrintBothLine(out, "INFO: NGPU Driver: ", driver);
    answer["gpuHWDriver"] = driver;
  }
  NvShortString bios = {};
  status = api.gpuGetVbiosVersionString(gpu, bios);
  if (status != kNvOk) {
    PrintLogLine(out, "ERROR: GPU_GetVbiosVersionString: ", NvStatusText(api, status));
    result = 1;
  } else {
    PrintBothLine(out, "INFO: NGPU Bios: ", FixedText(bios));
    answer["gpuHWBios"] = FixedText(bios);
  }
  NvDriverMemoryInfo memory;
  memory.version = kNvDriverMemoryInfoVersion;
  status = api.gpuGetMemoryInfo(gpu, &memory);
  if (status != kNvOk) {
    PrintLogLine(out, "ERROR: GPU_GetMemoryInfo: ", NvStatusText(api, status));
    result = 1;
  } else {
    const uint32_t megabytes = memory.dedicatedVideoMemory >> 10;
    PrintBothLine(out, "INFO: NGPU Total RAM MB: ", ToString(megabytes));
    answer["gpuHWRam"] = ToString(megabytes);
  }
  // Too large for the stack of a small program.
  auto pstates = std::make_unique<NvPstates20Info>();
  pstates->version = kNvPstates20InfoVersion;
  status = api.gpuGetPstates20(gpu, pstates.get());
  if (status != kNvOk) {
    PrintLogLine(out, "ERROR: GPU_GetPstates20: ", NvStatusText(api, status));
    result = 1;
    return false;
  }
  if (ReportClocks(*pstates, answer, out) != 0) result = 1;
  return true;
}
}  // namespace

std::string NvStatusText(const NvApiFunctions& api, NvStatus status) {
  NvShortString text = {};
  if (api.getErrorMessage(status, text) != kNvOk) return "NVAPI status " + std::to_string(status);
  return FixedText(text);
}

int CollectNvidiaStats(nlohmann::json& answer, std::string target, std::ostream& out,
                       const NvApiFunctions& api) {
  PrintBothLine(out, "INFO: Launching NGPU detection");
  if (!api.complete() || api.initialize() != kNvOk) {
    PrintLogLine(out, "INFO: NVAPI library not found");
    return 0;
  }
  int result = 0;
  for (uint32_t index = 0;; ++index) {
    NvDisplayHandle display = nullptr;
    NvStatus status = api.enumNvidiaDisplayHandle(index, &display);
    if (status == kNvEndEnumeration) break;
    if (status != kNvOk) {
      PrintLogLine(out, "WARN: NvAPI_EnumNvidiaDisplayHandle: ", NvStatusText(api, status),
                   " on index ", index);
      break;
    }
    NvShortString name = {};
    status = api.getAssociatedNvidiaDisplayName(display, name);
    if (status != kNvOk) {
      PrintLogLine(out, "WARN: NvAPI_GetAssociatedNvidiaDisplayName: ", NvStatusText(api, status));
      break;
    }
    if (FixedText(name) != target) continue;
    PrintLogLine(out, "INFO: Linked Nvidia GPU to display: ", target);
    NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
    uint32_t count = 0;
    status = api.getPhysicalGpusFromDisplay(display, gpus, &count);
    if (status != kNvOk || count == 0) {
      PrintLogLine(out, "ERROR: failed to get gpu from display: ", NvStatusText(api, status));
      result = 1;
      if (status != kNvOk) break;
      continue;
    }
    if (!ReportGpu(api, gpus[0], answer, out, result)) break;
  }
  api.unload();
  return result;
}

int CollectNvidiaStats(nlohmann::json& answer, std::string target, std::ostream& out) {
  const LoadedLibrary library(kNvApiLibraryName);
  return CollectNvidiaStats(answer, std::move(target), out, QueryNvApiFunctions(library));
}
