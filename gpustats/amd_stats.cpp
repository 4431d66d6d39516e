#include "gpustats/amd_stats.h"

#include <cstdint>
#include <vector>

#include "common/child_lines.h"
#include "gpustats/adl_library.h"
#include "gpustats/amd_clocks.h"
#include "gpustats/fixed_text.h"
#include "gpustats/value_text.h"

namespace {
// The context of one stage run, destroyed on every way out of it.
class AdlSession {
 public:
  explicit AdlSession(const AdlFunctions& adl) : adl_(adl) {}
  ~AdlSession() {
    if (created_) adl_.main2ControlDestroy(context_);
  }
  AdlSession(const AdlSession&) = delete;
  AdlSession& operator=(const AdlSession&) = delete;

  bool Create() {
    created_ = adl_.main2ControlCreate(AdlMemoryAlloc, kAdlConnectedAdaptersOnly, &context_) == kAdlOk;
    return created_;
  }
  AdlContext context() const { return context_; }

 private:
  const AdlFunctions& adl_;
  AdlContext context_ = nullptr;
  bool created_ = false;
};

// The adapters the library knows, or false after the line of the query that failed.
bool ReadAdapters(const AdlFunctions& adl, AdlContext context, std::vector<AdapterInfo>& adapters,
                  std::ostream& out) {
  int count = 0;
  // A count whose array size the size argument cannot hold is no answer either.
  if (adl.numberOfAdaptersGet(context, &count) != kAdlOk ||
      count > INT32_MAX / static_cast<int>(sizeof(AdapterInfo))) {
    PrintLogLine(out, "DEBUG: ERROR: ADL2_Adapter_NumberOfAdapters_Get");
    return false;
  }
  // A count below 0 gets the same empty array as a count of 0.
  adapters.assign(count > 0 ? count : 0, AdapterInfo{});
  const int size = static_cast<int>(adapters.size() * sizeof(AdapterInfo));
  if (adl.adapterInfoGet(context, adapters.data(), size) != kAdlOk) {
    PrintLogLine(out, "DEBUG: ERROR: ADL2_Adapter_AdapterInfo_Get");
    return false;
  }
  return true;
}

struct MatchedAdapter {
  const AdapterInfo* adapter = nullptr;
  int overdriveVersion = -1;
};

// The first active adapter that shows the target; every adapter before it is reported.
MatchedAdapter FindAdapter(const AdlFunctions& adl, AdlContext context,
                           const std::vector<AdapterInfo>& adapters, const std::string& target,
                           std::ostream& out, int& result) {
  for (const AdapterInfo& adapter : adapters) {
    const int index = adapter.iAdapterIndex;
    int active = 0;
    if (adl.adapterActiveGet(context, index, &active) != kAdlOk) {
      PrintLogLine(out, "ERROR: ADL2_Adapter_Active_Get: ", index);
      result = 1;
      continue;
    }
    const std::string display = FixedText(adapter.strDisplayName);
    PrintLogLine(out, "DEBUG: A(", index, ") D(", display, ") N(", FixedText(adapter.strAdapterName),
                 ") ", active != 0 ? "A" : "I");
    int supported = 0, enabled = 0, version = -1;
    if (adl.overdriveCaps(context, index, &supported, &enabled, &version) == kAdlOk) {
      PrintLogLine(out, "DEBUG: ADL2 CAPS SUP(", supported, ") ENA(", enabled, ") VER(", version, ")");
    } else {
      PrintLogLine(out, "DEBUG: ADL2_Overdrive_Caps Failed");
      version = -1;
      result = 1;
    }
    if (active != 0 && display == target) return {&adapter, version};
  }
  return {};
}

// Driver, BIOS, memory and clocks of the matched adapter; a failed query does not stop the next.
int ReportAdapter(const AdlFunctions& adl, AdlContext context, const MatchedAdapter& matched,
                  const std::string& target, nlohmann::json& answer, std::ostream& out) {
  int result = 0;
  const int index = matched.adapter->iAdapterIndex;
  ADLODNCapabilities capabilities = {};
  if (adl.overdriveNCapabilitiesGet(context, index, &capabilities) != kAdlOk) {
    // The adapter is still the one behind the target: only the choice of clock rule needs the
    // capabilities, and without them it falls back on the Overdrive version.
    PrintLogLine(out, "ERROR: ADL2_OverdriveN_Capabilities_Get adapter: ", index);
    capabilities = {};
    result = 1;
  }
  answer["gpuHWApi"] = "ADLAPI";
  PrintLogLine(out, "DEBUG: Linked AMD GPU to display: ", target);
  PrintBothLine(out, "INFO: AGPU Name: ", FixedText(matched.adapter->strAdapterName));

  ADLVersionsInfoX2 versions = {};
  const int versionsStatus = adl.versionsX2Get(context, &versions);
  if (versionsStatus == kAdlOk || versionsStatus == kAdlOkWithWarning) {
    const std::string driver = FixedText(versions.strCrimsonVersion);
    PrintBothLine(out, "INFO: AGPU Driver: ", driver);
    answer["gpuHWDriver"] = driver;
  } else {
    PrintLogLine(out, "ERROR: ADL2_Graphics_VersionsX2_Get");
    result = 1;
  }
  ADLBiosInfo bios = {};
  if (adl.videoBiosInfoGet(context, index, &bios) == kAdlOk) {
    const std::string version = FixedText(bios.strVersion);
    PrintBothLine(out, "INFO: AGPU Bios: ", version);
    answer["gpuHWBios"] = version;
  } else {
    PrintLogLine(out, "DEBUG: ERROR: ADL2_Adapter_VideoBiosInfo_Get");
    result = 1;
  }
  ADLMemoryInfo memory = {};
  if (adl.memoryInfoGet(context, index, &memory) == kAdlOk) {
    const std::string megabytes = ToString<int64_t>(memory.iMemorySize / 1024 / 1024);
    PrintBothLine(out, "INFO: AGPU Total RAM MB: ", megabytes);
    answer["gpuHWRam"] = megabytes;
  } else {
    PrintLogLine(out, "DEBUG: ERROR: ADL2_Adapter_MemoryInfo_Get");
    result = 1;
  }

  const int32_t levels = capabilities.iMaximumNumberOfPerformanceLevels;
  int clocksResult = 0;
  if (levels >= 1) {
    clocksResult = ReportOverdriveNClocks(adl, context, index, levels, answer, out);
  } else if (matched.overdriveVersion == 6) {
    clocksResult = ReportOverdrive6Clocks(adl, index, answer, out);
  } else if (matched.overdriveVersion == 5) {
    clocksResult = ReportOverdrive5Clocks(adl, index, answer, out);
  }
  return clocksResult != 0 ? 1 : result;
}
}  // namespace

int CollectAmdStats(nlohmann::json& answer, std::string target, std::ostream& out,
                    const std::vector<std::string>& libraryNames, LoadedLibrary& library) {
  PrintBothLine(out, "INFO: Launching AGPU detection");
  AdlFunctions adl;
  // A missing library or group leaves nothing of AMD's to report.
  if (LoadAdlLibrary(libraryNames, library, adl, out) != 0) return 0;

  AdlSession session(adl);
  if (!session.Create()) {
    PrintLogLine(out, "DEBUG: ERROR: ADL2_Main_Control_Create");
    return 1;
  }
  std::vector<AdapterInfo> adapters;
  if (!ReadAdapters(adl, session.context(), adapters, out)) return 1;
  int result = 0;
  const MatchedAdapter matched = FindAdapter(adl, session.context(), adapters, target, out, result);
  if (matched.adapter == nullptr) return result;
  if (ReportAdapter(adl, session.context(), matched, target, answer, out) != 0) result = 1;
  return result;
}

int CollectAmdStats(nlohmann::json& answer, std::string target, std::ostream& out) {
  // Process-wide: the library stays loaded until the process ends.
  static LoadedLibrary library;
  return CollectAmdStats(answer, std::move(target), out, {kAdlLibraryName, kAdlFallbackLibraryName},
                         library);
}
