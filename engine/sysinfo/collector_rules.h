#pragma once
// How the collector turns query rows and counters into the texts of systemInfo and componentInfo.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/sysinfo/wmi_query.h"

using TextMap = std::map<std::string, std::string>;

// The Win32_Processor rows (queryResult as QueryRows returned it): the processor's componentInfo
// texts and systemInfo's "ambCPULoad", with the log lines.
void ApplyProcessorRows(int queryResult, const std::vector<WmiRow>& rows, TextMap& componentInfo,
                        TextMap& systemInfo);
// The Win32_PhysicalMemory rows: "totalRamGB" and "ramFrequency", with the log lines.
void ApplyMemoryRows(int queryResult, const std::vector<WmiRow>& rows, TextMap& systemInfo);

// Available physical memory in GiB to one decimal.
std::string FreeRamText(uint64_t availableBytes);
// Milliseconds since boot in days to one decimal.
std::string UpTimeDaysText(double milliseconds);
