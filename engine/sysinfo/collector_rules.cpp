#include "engine/sysinfo/collector_rules.h"

#include <cstdlib>

#include "common/run_log.h"
#include "common/text_helpers.h"

void ApplyProcessorRows(int queryResult, const std::vector<WmiRow>& rows, TextMap& componentInfo,
                        TextMap& systemInfo) {
  std::string name;
  std::string socket;
  std::string maxClock;
  std::string processorId;
  std::string load = "-1";
  if (queryResult == 1) WriteLogLine(kLogS, __LINE__, "ERROR during query Win32_Processor");

  if (!rows.empty()) {
    WriteLogLine(kLogS, __LINE__, "INFO: Processing CPU");
    const WmiRow& first = rows.front();
    name = RowField(first, "Name");
    TrimRight(name);
    // Only the first package is described; say so when there are more.
    if (rows.size() > 1) name = "1st CPU: " + name;
    socket = RowField(first, "SocketDesignation");
    maxClock = RowField(first, "MaxClockSpeed");
    processorId = RowField(first, "ProcessorId");
    const double percent = std::atof(RowField(first, "LoadPercentage").c_str());
    if (percent >= 0 && percent <= 100) {
      load = DoubleToString(percent);
    } else {
      WriteLogLine(kLogS, __LINE__, "ERROR: Got WMI CPU Load of " + DoubleToString(percent));
    }
  }

  componentInfo["familyGroup"] = "Processor";
  componentInfo["phyModel"] = name;
  componentInfo["socket"] = socket;
  componentInfo["actualClockFreq"] = DoubleToString(std::atof(maxClock.c_str()) / 1000);
  componentInfo["cpuID"] = processorId;
  systemInfo["ambCPULoad"] = load;
}

void ApplyMemoryRows(int queryResult, const std::vector<WmiRow>& rows, TextMap& systemInfo) {
  double total = 0.0;
  std::string speed;
  if (queryResult == 1) WriteLogLine(kLogS, __LINE__, "ERROR during query Win32_PhysicalMemory");
  for (size_t i = 0; i < rows.size(); ++i) {
    WriteLogLine(kLogS, __LINE__,
                 "INFO: Processing Ram Stick " + ToString(static_cast<unsigned>(i)));
    if (i == 0) speed = RowField(rows[i], "Speed");
    total = total + std::atof(RowField(rows[i], "Capacity").c_str()) / 1024 / 1024 / 1024;
  }
  systemInfo["totalRamGB"] = DoubleToString(total);
  // From 5000 MHz on the frequency is left empty (the key stays).
  const double megahertz = std::atof(speed.c_str());
  systemInfo["ramFrequency"] =
      megahertz < 5000 ? DoubleToString(RoundDecimals(1, megahertz / 1000)) : std::string();
}

std::string FreeRamText(uint64_t availableBytes) {
  return DoubleToString(RoundDecimals(1, static_cast<double>(availableBytes) / 1024 / 1024 / 1024));
}

std::string UpTimeDaysText(double milliseconds) {
  return DoubleToString(RoundDecimals(1, milliseconds / 1000 / 60 / 60 / 24));
}
