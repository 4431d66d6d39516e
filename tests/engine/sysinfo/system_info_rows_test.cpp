// The collection on crafted WMI rows: which property of which class lands under which key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sysinfo/system_info.h"
#include "tests/support/crafted_wmi.h"

namespace {
// Every property answers with its own class and name, so a swapped property shows by its value.
WmiRow NamedRow(const std::string& className, std::initializer_list<const char*> properties) {
  WmiRow row;
  for (const char* property : properties) row[property] = className + "." + property;
  return row;
}

struct CollectedFromRows : testing::Test {
  void SetUp() override {
    crafted.result = 1;  // anything else asked for matches nothing
    crafted.answers = {
        {"select Name,SocketDesignation,MaxClockSpeed,ProcessorId,LoadPercentage from "
         "Win32_Processor",
         {{{"Name", "Crafted CPU  "},
           {"SocketDesignation", "Win32_Processor.SocketDesignation"},
           {"MaxClockSpeed", "3401"},
           {"ProcessorId", "Win32_Processor.ProcessorId"},
           {"LoadPercentage", "12"}}}},
        {"select Capacity,Speed from Win32_PhysicalMemory",
         {{{"Capacity", "8589934592"}, {"Speed", "2666"}},
          {{"Capacity", "4294967296"}, {"Speed", "1600"}}}},
        {"select Manufacturer,Model from Win32_ComputerSystem",
         {NamedRow("Win32_ComputerSystem", {"Manufacturer", "Model"})}},
        {"select CSDVersion,Caption,SystemDrive,Version from Win32_OperatingSystem",
         {NamedRow("Win32_OperatingSystem", {"CSDVersion", "Caption", "SystemDrive", "Version"})}},
        {"select Manufacturer,Product,SerialNumber from Win32_BaseBoard",
         {NamedRow("Win32_BaseBoard", {"Manufacturer", "Product", "SerialNumber"})}},
        {"select AdapterCompatibility,Caption,VideoModeDescription from Win32_VideoController",
         {NamedRow("Win32_VideoController",
                   {"AdapterCompatibility", "Caption", "VideoModeDescription"})}},
        {"select Name,ReleaseDate,SMBIOSBIOSVersion,SMBIOSMajorVersion,SMBIOSMinorVersion,Version "
         "from Win32_BIOS",
         {{{"Name", "Win32_BIOS.Name"},
           {"ReleaseDate", "Win32_BIOS.ReleaseDate"},
           {"SMBIOSBIOSVersion", "Win32_BIOS.SMBIOSBIOSVersion"},
           {"SMBIOSMajorVersion", "3"},
           {"SMBIOSMinorVersion", "4"},
           {"Version", "Win32_BIOS.Version"}}}},
    };
    testing::internal::CaptureStdout();
    info.GatherCpuAndSystemInfo(crafted.Query());
    testing::internal::GetCapturedStdout();
  }
  FakeRowQuery crafted;
  SystemInfo info;
};
}  // namespace

TEST_F(CollectedFromRows, EachClassPropertyLandsUnderItsKey) {
  struct Case {
    const char* key;
    const char* value;
  } const cases[] = {
      {"compSysManu", "Win32_ComputerSystem.Manufacturer"},
      {"compSysModel", "Win32_ComputerSystem.Model"},
      {"osName", "Win32_OperatingSystem.Caption"},
      {"osspName", "Win32_OperatingSystem.CSDVersion"},
      {"osVersion", "Win32_OperatingSystem.Version"},
      {"mbManu", "Win32_BaseBoard.Manufacturer"},
      {"mbModel", "Win32_BaseBoard.Product"},
      {"mbSerial", "Win32_BaseBoard.SerialNumber"},
      {"gfxModel", "Win32_VideoController.Caption"},
      {"gfxManu", "Win32_VideoController.AdapterCompatibility"},
      {"gfxDesc", "Win32_VideoController.VideoModeDescription"},
      {"bioName", "Win32_BIOS.Name"},
      {"bioVersion", "Win32_BIOS.Version"},
      {"bioRelDate", "Win32_BIOS.ReleaseDate"},
      {"smbiosFirmware", "Win32_BIOS.SMBIOSBIOSVersion"},
      {"smbiosVersion", "3.4"},
      {"ambCPULoad", "12"},
      {"totalRamGB", "12"},
      {"ramFrequency", "2.7"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(info.systemInfo.count(c.key), 1u) << c.key;
    EXPECT_EQ(info.systemInfo.at(c.key), c.value) << c.key;
  }
  EXPECT_EQ(info.systemDrive, "Win32_OperatingSystem.SystemDrive");
}

TEST_F(CollectedFromRows, ProcessorRowFeedsTheComponentInfo) {
  const auto& cpu = info.componentInfo;
  EXPECT_EQ(cpu.at("familyGroup"), "Processor");
  EXPECT_EQ(cpu.at("phyModel"), "Crafted CPU");
  EXPECT_EQ(cpu.at("socket"), "Win32_Processor.SocketDesignation");
  EXPECT_EQ(cpu.at("actualClockFreq"), "3.401");
  EXPECT_EQ(cpu.at("cpuID"), "Win32_Processor.ProcessorId");
}

TEST_F(CollectedFromRows, EveryQueryGoesThroughTheGivenSeamInOrder) {
  std::vector<std::string> classes;
  for (const auto& asked : crafted.asked) {
    classes.push_back(asked.first.substr(asked.first.rfind(' ') + 1));
  }
  const std::vector<std::string> expected = {
      "Win32_Processor",       "Win32_PhysicalMemory",  "Win32_ComputerSystem",
      "Win32_OperatingSystem", "Win32_BaseBoard",       "Win32_VideoController",
      "Win32_BIOS"};
  EXPECT_EQ(classes, expected);
}
