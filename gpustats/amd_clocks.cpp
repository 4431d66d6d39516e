#include "gpustats/amd_clocks.h"

#include <sstream>
#include <string>

#include "common/child_lines.h"
#include "gpustats/adl_level_buffer.h"
#include "gpustats/value_text.h"

namespace {
using OdnLevels = AdlLevelBuffer<ADLODNPerformanceLevels, ADLODNPerformanceLevel,
                                 offsetof(ADLODNPerformanceLevels, aLevels)>;
using Od5Levels = AdlLevelBuffer<ADLODPerformanceLevels, ADLODPerformanceLevel,
                                 offsetof(ADLODPerformanceLevels, aLevels)>;

const char kOdnClocksFailed[] = "ERROR: ADL2_OverdriveN_GPUClocks_Get failed";

// The library counts clocks in 10 kHz.
int32_t Mhz(int32_t clock) { return clock / 100; }

struct OdnClockKind {
  const char* header;  // of the debug line
  const char* letter;
  const char* maxLine;
  const char* member;
};
const OdnClockKind kOdnEngine = {"DEBUG: AMD C MHz: ", "C", "INFO: AGPU Max C MHz: ", "gpuHWMaxC"};
const OdnClockKind kOdnMemory = {"DEBUG: AMD M MHz ", "M", "INFO: AGPU Max M MHz: ", "gpuHWMaxM"};

// Only the enabled levels count for the maximum; every level the buffer was made for is shown.
void ReportOdnLevels(const OdnLevels& levels, const OdnClockKind& kind, nlohmann::json& answer,
                     std::ostream& out) {
  std::ostringstream line;
  int32_t highest = 0;
  for (int32_t i = 0; i < levels.levels(); ++i) {
    const ADLODNPerformanceLevel& level = levels.level(i);
    line << kind.letter << i << (level.iEnabled != 0 ? "(A)" : "(I)") << "=" << Mhz(level.iClock)
         << " ";
    if (level.iEnabled != 0 && Mhz(level.iClock) > highest) highest = Mhz(level.iClock);
  }
  PrintLogLine(out, kind.header, line.str());
  if (highest == 0) return;
  PrintBothLine(out, kind.maxLine, highest);
  answer[kind.member] = ToString(highest);
}

void ReportOd5Levels(const char* header, const Od5Levels& levels, std::ostream& out) {
  std::ostringstream line;
  for (int32_t i = 0; i < levels.levels(); ++i) {
    line << "L" << i << "=(" << Mhz(levels.level(i).iEngineClock) << ","
         << Mhz(levels.level(i).iMemoryClock) << ") ";
  }
  PrintLogLine(out, header, line.str());
}

// One clock of Overdrive 6: the supported range, the default and the custom levels, every value
// in MHz; the custom high level is the maximum.
void ReportOd6Clock(const char* header, const ADLOD6ParameterRange& range,
                    int32_t ADLOD6PerformanceLevel::*clock, const ADLOD6StateInfo& defaults,
                    const ADLOD6StateInfo& custom, const char* member, nlohmann::json& answer,
                    std::ostream& out) {
  PrintLogLine(out, header, Mhz(range.iMin), ",", Mhz(defaults.aLevels[0].*clock), ",",
               Mhz(custom.aLevels[0].*clock), ") H(", Mhz(range.iMax), ",",
               Mhz(defaults.aLevels[1].*clock), ",", Mhz(custom.aLevels[1].*clock), ")");
  const int32_t highest = Mhz(custom.aLevels[1].*clock);
  if (highest != 0) answer[member] = ToString(highest);
}

// The older interface needs its own start before its Overdrive calls; it is never shut down.
bool StartOlderInterface(const AdlFunctions& adl, std::ostream& out) {
  if (adl.mainControlCreate(AdlMemoryAlloc, kAdlConnectedAdaptersOnly) == kAdlOk) return true;
  PrintLogLine(out, "ADL 5/6 Initialization Error!");
  return false;
}
}  // namespace

int ReportOverdriveNClocks(const AdlFunctions& adl, AdlContext context, int adapter, int32_t levels,
                           nlohmann::json& answer, std::ostream& out) {
  if (levels > OdnLevels::kMaxLevels) {
    // No buffer the record can describe holds that many levels.
    PrintLogLine(out, kOdnClocksFailed);
    return 1;
  }
  int result = 0;
  // One buffer for both queries, not reset between them.
  OdnLevels buffer(levels);
  buffer.record()->iSize = buffer.size();
  buffer.record()->iNumberOfPerformanceLevels = levels;
  if (adl.overdriveNSystemClocksGet(context, adapter, buffer.record()) != kAdlOk) {
    PrintLogLine(out, kOdnClocksFailed);
    result = 1;
  } else {
    ReportOdnLevels(buffer, kOdnEngine, answer, out);
  }
  if (adl.overdriveNMemoryClocksGet(context, adapter, buffer.record()) != kAdlOk) {
    PrintLogLine(out, kOdnClocksFailed);
    return 1;
  }
  ReportOdnLevels(buffer, kOdnMemory, answer, out);
  return result;
}

int ReportOverdrive6Clocks(const AdlFunctions& adl, int adapter, nlohmann::json& answer,
                           std::ostream& out) {
  if (!StartOlderInterface(adl, out)) return 1;
  ADLOD6Capabilities capabilities = {};
  if (adl.overdrive6CapabilitiesGet(adapter, &capabilities) != kAdlOk) {
    // The state queries and the lines need the capabilities' bits and ranges.
    PrintLogLine(out, "ERROR: ADL_Overdrive6_Capabilities_Get adapter: ", adapter);
    return 1;
  }
  PrintLogLine(out, "INFO: ADL OD6 GPU supported");
  ADLOD6StateInfo defaults = {};
  defaults.iNumberOfPerformanceLevels = 2;
  const bool defaultsRead =
      adl.overdrive6StateInfoGet(adapter, kAdlOd6DefaultState, &defaults) == kAdlOk;
  if (!defaultsRead) {
    PrintLogLine(out, "ERROR: Default ADL_Overdrive6_StateInfo_Get adapter: ", adapter);
  }
  ADLOD6StateInfo custom = {};
  custom.iNumberOfPerformanceLevels = 2;
  if (adl.overdrive6StateInfoGet(adapter, kAdlOd6CustomState, &custom) != kAdlOk) {
    PrintLogLine(out, "ERROR: Custom ADL_Overdrive6_StateInfo_Get adapter: ", adapter);
    return 1;
  }
  if (!defaultsRead) return 1;
  if (capabilities.iCapabilities & kAdlOd6EngineClock) {
    ReportOd6Clock("INFO: OD6 C(Supp,Def,Curr) : L(", capabilities.sEngineClockRange,
                   &ADLOD6PerformanceLevel::iEngineClock, defaults, custom, "gpuHWMaxC", answer, out);
  }
  if (capabilities.iCapabilities & kAdlOd6MemoryClock) {
    ReportOd6Clock("INFO: OD6 M(Supp,Def,Curr) : L(", capabilities.sMemoryClockRange,
                   &ADLOD6PerformanceLevel::iMemoryClock, defaults, custom, "gpuHWMaxM", answer, out);
  }
  return 0;
}

int ReportOverdrive5Clocks(const AdlFunctions& adl, int adapter, nlohmann::json& answer,
                           std::ostream& out) {
  if (!StartOlderInterface(adl, out)) return 1;
  ADLODParameters parameters = {};
  parameters.iSize = sizeof(ADLODParameters);
  // A count no level record can describe is no answer either.
  if (adl.overdrive5ParametersGet(adapter, &parameters) != kAdlOk ||
      parameters.iNumberOfPerformanceLevels > Od5Levels::kMaxLevels) {
    PrintLogLine(out, "ERROR: ADL_Overdrive5_ODParameters_Get adapter: ", adapter);
    return 1;
  }
  const int32_t levels = parameters.iNumberOfPerformanceLevels;
  if (levels <= 0) return 0;
  PrintLogLine(out, "INFO: ADL OD5 GPU supports: ", levels, " performance levels");
  int result = 0;
  Od5Levels buffer(levels);
  buffer.record()->iSize = buffer.size();
  if (adl.overdrive5LevelsGet(adapter, kAdlOd5DefaultValues, buffer.record()) != kAdlOk) {
    PrintLogLine(out, "ERROR: Default ADL_Overdrive5_ODPerformanceLevels_Get: ");
    result = 1;
  } else {
    ReportOd5Levels("INFO: OD5 Def(C,M) ", buffer, out);
  }
  buffer.Zero();
  buffer.record()->iSize = buffer.size();
  if (adl.overdrive5LevelsGet(adapter, kAdlOd5CurrentValues, buffer.record()) != kAdlOk) {
    PrintLogLine(out, "ERROR: Current ADL_Overdrive5_ODPerformanceLevels_Get: ");
    return 1;
  }
  ReportOd5Levels("INFO: OD5 Curr(C,M) ", buffer, out);
  int32_t engine = 0, memory = 0;
  for (int32_t i = 0; i < levels; ++i) {
    if (Mhz(buffer.level(i).iEngineClock) > engine) engine = Mhz(buffer.level(i).iEngineClock);
    if (Mhz(buffer.level(i).iMemoryClock) > memory) memory = Mhz(buffer.level(i).iMemoryClock);
  }
  if (memory != 0) answer["gpuHWMaxM"] = ToString(memory);
  if (engine != 0) answer["gpuHWMaxC"] = ToString(engine);
  return result;
}
