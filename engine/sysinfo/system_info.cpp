#include "engine/sysinfo/system_info.h"

#include <windows.h>

#include <cstring>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/sysinfo/collector_rules.h"
#include "engine/sysinfo/os_facts.h"
#include "engine/sysinfo/power_limit.h"
#include "engine/sysinfo/processor_topology.h"
#include "engine/sysinfo/wmi_query.h"

static_assert(sizeof(MEMORYSTATUSEX) == 64, "memory status");

namespace {
// Every listed property of every instance of className, joined per property; empty on failure.
TextMap ClassFacts(const RowQuery& query, const std::string& className,
                   std::initializer_list<const char*> properties) {
  TextMap facts;
  for (const char* property : properties) facts[property] = std::string();
  QueryClassProperties(facts, className, query);
  return facts;
}

uint64_t AvailablePhysicalMemory() {
  MEMORYSTATUSEX status;
  std::memset(&status, 0, sizeof status);  // a failed call then reads as 0 bytes
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return status.ullAvailPhys;
}
}  // namespace

std::string GetEngineVersion() { return "2.97"; }

void SystemInfo::GatherCpuAndSystemInfo(const RowQuery& query) {
  systemInfo["cvnVersion"] = GetEngineVersion();

  std::vector<WmiRow> rows;
  const int result = query(
      rows,
      "select Name,SocketDesignation,MaxClockSpeed,ProcessorId,LoadPercentage from Win32_Processor",
      "Name,SocketDesignation,MaxClockSpeed,ProcessorId,LoadPercentage");
  ApplyProcessorRows(result, rows, componentInfo, systemInfo);

  CountLogicalProcessors(componentInfo);

  const std::string powerLimit = GetCpuPowerLimit();
  if (!powerLimit.empty()) systemInfo["winCPULimit"] = powerLimit;

  GatherMemoryOsBoardInfo(query);
}

void SystemInfo::GatherMemoryOsBoardInfo(const RowQuery& query) {
  systemInfo["freeRamGB"] = FreeRamText(AvailablePhysicalMemory());

  std::vector<WmiRow> rows;
  const int result =
      query(rows, "select Capacity,Speed from Win32_PhysicalMemory", "Capacity,Speed");
  ApplyMemoryRows(result, rows, systemInfo);

  TextMap facts = ClassFacts(query, "Win32_ComputerSystem", {"Manufacturer", "Model"});
  systemInfo["compSysManu"] = facts["Manufacturer"];
  systemInfo["compSysModel"] = facts["Model"];

  facts = ClassFacts(query, "Win32_OperatingSystem",
                     {"Caption", "CSDVersion", "Version", "SystemDrive"});
  systemInfo["osName"] = facts["Caption"];
  systemInfo["osspName"] = facts["CSDVersion"];
  systemInfo["osVersion"] = facts["Version"];
  systemDrive = facts["SystemDrive"];

  facts = ClassFacts(query, "Win32_BaseBoard", {"Manufacturer", "Product", "SerialNumber"});
  systemInfo["mbManu"] = facts["Manufacturer"];
  systemInfo["mbModel"] = facts["Product"];
  systemInfo["mbSerial"] = facts["SerialNumber"];

  facts = ClassFacts(query, "Win32_VideoController",
                     {"Caption", "AdapterCompatibility", "VideoModeDescription"});
  systemInfo["gfxModel"] = facts["Caption"];
  systemInfo["gfxManu"] = facts["AdapterCompatibility"];
  systemInfo["gfxDesc"] = facts["VideoModeDescription"];

  facts = ClassFacts(query, "Win32_BIOS",
                     {"Name", "Version", "ReleaseDate", "SMBIOSBIOSVersion", "SMBIOSMajorVersion",
                      "SMBIOSMinorVersion"});
  systemInfo["bioName"] = facts["Name"];
  systemInfo["bioVersion"] = facts["Version"];
  systemInfo["bioRelDate"] = facts["ReleaseDate"];
  systemInfo["smbiosFirmware"] = facts["SMBIOSBIOSVersion"];
  systemInfo["smbiosVersion"] = facts["SMBIOSMajorVersion"] + "." + facts["SMBIOSMinorVersion"];

  systemInfo["sysUpTimeDays"] = UpTimeDaysText(GetMillisecondsSinceBoot());
  systemInfo["userRunTime"] = UtcTimeString();
  systemInfo["sys32Or64Bit"] = GetBitness();

  WriteLogLine(kLogB, __LINE__, "INFO: Gathering Device Info");
  CollectDiskBusDescriptions(diskBusDescriptions);
}
