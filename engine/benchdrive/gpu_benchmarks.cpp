#include "engine/benchdrive/gpu_benchmarks.h"

#include <cstdlib>
#include <set>
#include <string>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/benchdrive/adapter_choice.h"
#include "engine/benchdrive/gpu_stats_request.h"

namespace {
const char kVideoControllerFields[] =
    "PNPDeviceID,Caption,AdapterRAM,InstalledDisplayDrivers,DriverVersion,DriverDate,"
    "VideoProcessor,VideoModeDescription,Availability";

DisplayFacts ReadDisplayFacts(const DisplayAdapters& adapters, const ChosenDisplay& chosen,
                              AdapterIdentity& identity) {
  const unsigned ordinal = static_cast<unsigned>(chosen.adapterOrdinal);
  identity = adapters.Identify(ordinal);
  const MonitorFacts monitor = adapters.Monitor(ordinal);
  DisplayFacts display;
  display.adapterOrdinal = chosen.adapterOrdinal;
  display.isMainDisplay = chosen.isMainDisplay;
  display.deviceName = monitor.deviceName;
  display.hr = monitor.width;
  display.vr = monitor.height;
  display.rr = adapters.RefreshRate(monitor.deviceName);
  return display;
}

void AddControllerFacts(Tree& component, const std::string& caption, const WmiRow& row) {
  component.add("componentInfo.familyGroup", "Graphics Card");
  component.add("componentInfo.phyModel", caption);
  component.add("componentInfo.phyPnpId", RowField(row, "PNPDeviceID"));
  // Written with 17 significant digits, like every double of the document.
  const double megabytes =
      std::atof(RowField(row, "AdapterRAM").c_str()) * (1.0 / 1024) * (1.0 / 1024);
  component.add("componentInfo.gpuRamMB", megabytes);
  component.add("componentInfo.gpuDrivers", RowField(row, "InstalledDisplayDrivers"));
  component.add("componentInfo.gpuDriverVersion", RowField(row, "DriverVersion"));
  component.add("componentInfo.gpuDriverDate", RowField(row, "DriverDate"));
  component.add("componentInfo.gpuModeDesc", RowField(row, "VideoModeDescription"));
}
}  // namespace

int RunGpuBenchmarks(Tree& components, const GraphicsPlatform& platform) {
  int result = 0;
  WriteLogLine(kLogB, __LINE__, "INFO: Checking GPU configuration");
  const std::vector<GpuTestRow> gpuTestTable = GpuTestTable();

  std::vector<WmiRow> rows;
  if (platform.queryRows(
          rows, std::string("select ") + kVideoControllerFields + " from Win32_VideoController",
          kVideoControllerFields) == 1) {
    WriteLogLine(kLogS, __LINE__, "ERROR: Query videoAdapters failed aborting GPU benchmarks");
    return 0;
  }
  const std::unique_ptr<DisplayAdapters> adapters = platform.openAdapters();
  if (!adapters->Available()) {
    // Then no display can be matched; every controller is reported as skipped below.
    WriteLogLine(kLogS, __LINE__, "ERROR: Direct3DCreate9 failed, no display can be matched");
  }
  const unsigned adapterCount = adapters->Count();
  WriteLogLine(kLogB, __LINE__,
               "INFO: Found " + ToString(unsigned(rows.size())) + " graphics card(s) and " +
                   ToString(adapterCount) + " active display(s)");
  WriteLogLine(kLogB, __LINE__, "INFO: Starting GPU Benchmarks");

  std::set<std::string> benchmarkedCaptions;
  for (const WmiRow& row : rows) {
    std::string caption = RowField(row, "Caption");
    TrimRight(caption);
    TrimLeft(caption);
    if (benchmarkedCaptions.count(caption) != 0) {
      WriteLogLine(kLogS, __LINE__, "DEBUG: Skip as already benchmarked matching name " + caption);
      continue;
    }
    WriteLogLine(kLogS, __LINE__,
                 "DEBUG: " + caption + " Avail(" + RowField(row, "Availability") + ") VMode(" +
                     RowField(row, "VideoModeDescription") + ") VProcessor(" +
                     RowField(row, "VideoProcessor") + ")");
    const ChosenDisplay chosen = ChooseAdapterOrdinal(caption, *adapters);
    if (chosen.adapterOrdinal == -1) {
      WriteLogLine(kLogB, __LINE__,
                   "WARN: skipping " + caption + " - unable to locate attached display");
      WriteLogLine(kLogS, __LINE__, "DEBUG: all adaptors:" + chosen.comparedNames);
      continue;
    }
    benchmarkedCaptions.insert(caption);

    AdapterIdentity identity;
    const DisplayFacts display = ReadDisplayFacts(*adapters, chosen, identity);
    WriteLogLine(kLogS, __LINE__,
                 "DEBUG: DX9Ordinal(" + ToString(display.adapterOrdinal) + ") Driver(" +
                     identity.driver + ") Desc(" + identity.description + ") Display(" +
                     display.deviceName + ") HR(" + ToString(display.hr) + ") VR(" +
                     ToString(display.vr) + ") RR(" + ToString(display.rr) + ")");
    Tree component;
    AddControllerFacts(component, caption, row);
    WriteLogLine(kLogS, __LINE__,
                 "DEBUG: Launching GPUSTATS on Display(" + display.deviceName + ")");
    std::string monitorName;
    if (!RequestGpuStats(display, component, monitorName, platform.runChild)) result = 1;
    WriteLogLine(kLogB, __LINE__,
                 "INFO: Bench " + caption + " @(" + monitorName + ") on display(" +
                     ToString(display.adapterOrdinal + 1) +
                     ") = " + (display.isMainDisplay ? "main" : "secondary"));
    platform.runAdapterTests(gpuTestTable, display.adapterOrdinal, component);
    components.push_back(Tree::value_type("", component));
  }
  return result;
}
