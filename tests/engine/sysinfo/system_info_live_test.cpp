// The whole collection against the platform.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include <windows.h>

#include "engine/sysinfo/os_facts.h"
#include "engine/sysinfo/system_info.h"
#include "engine/sysinfo/wmi_query.h"
#include "tests/support/output_watch.h"

namespace {
class CollectedOnce : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    info = new SystemInfo();
    log = new OutputWatch();
    testing::internal::CaptureStdout();
    info->GatherCpuAndSystemInfo();
    *printed = testing::internal::GetCapturedStdout();
  }
  static void TearDownTestSuite() {
    delete info;
    delete log;
  }
  static SystemInfo* info;
  static OutputWatch* log;
  static std::string* printed;
};
SystemInfo* CollectedOnce::info = nullptr;
OutputWatch* CollectedOnce::log = nullptr;
std::string* CollectedOnce::printed = new std::string();

TEST_F(CollectedOnce, SystemInfoHoldsEveryKey) {
  std::vector<std::string> keys = {
      "ambCPULoad",   "bioName",       "bioRelDate",   "bioVersion",     "compSysManu",
      "compSysModel", "cvnVersion",    "freeRamGB",    "gfxDesc",        "gfxManu",
      "gfxModel",     "mbManu",        "mbModel",      "mbSerial",       "osName",
      "osVersion",    "osspName",      "ramFrequency", "smbiosFirmware", "smbiosVersion",
      "sys32Or64Bit", "sysUpTimeDays", "totalRamGB",   "userRunTime"};
  if (info->systemInfo.count("winCPULimit") != 0) keys.push_back("winCPULimit");
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> present;
  for (const auto& entry : info->systemInfo) present.push_back(entry.first);
  EXPECT_EQ(present, keys);
}

TEST_F(CollectedOnce, ValuesAreThePlatformsOwn) {
  const auto& s = info->systemInfo;
  EXPECT_EQ(s.at("cvnVersion"), "2.97");
  EXPECT_EQ(s.at("sys32Or64Bit"), "64Bit");  // either flavor on 64-bit Windows
  EXPECT_FALSE(s.at("osName").empty());
  EXPECT_FALSE(s.at("osVersion").empty());
  EXPECT_EQ(s.at("compSysManu"), "The Wine Project");
  EXPECT_EQ(s.at("compSysModel"), "Wine");
  EXPECT_FALSE(s.at("mbManu").empty());
  EXPECT_FALSE(s.at("bioName").empty());
  EXPECT_FALSE(s.at("gfxModel").empty());
  EXPECT_TRUE(std::regex_match(s.at("userRunTime"),
                               std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << s.at("userRunTime");
  EXPECT_GT(std::stod(s.at("totalRamGB")), 0.0);
  EXPECT_GT(std::stod(s.at("freeRamGB")), 0.0);
  EXPECT_GE(std::stod(s.at("sysUpTimeDays")), 0.0);
  EXPECT_TRUE(std::regex_match(s.at("smbiosVersion"), std::regex("[0-9]*\\.[0-9]*")))
      << s.at("smbiosVersion");
  // The platform's WMI has no LoadPercentage, which reads as 0, and no memory Speed.
  EXPECT_EQ(s.at("ambCPULoad"), "0");
  EXPECT_EQ(s.at("ramFrequency"), "0");
  EXPECT_EQ(info->systemDrive, "C:");
  EXPECT_EQ(info->systemDiskIndex, -1);
}

// The bitness of Windows itself, as the platform reports it to a program of either bitness.
std::string NativeBitness() {
  SYSTEM_INFO system;
  GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
    case PROCESSOR_ARCHITECTURE_ARM64:
    case PROCESSOR_ARCHITECTURE_IA64:
      return "64Bit";
    default:
      return "32Bit";
  }
}

TEST(GetBitness, NamesTheBitnessOfWindowsInEitherFlavor) {
  EXPECT_EQ(GetBitness(), NativeBitness()) << "program pointer size " << sizeof(void*);
  EXPECT_EQ(NativeBitness(), "64Bit");  // the prefix is 64-bit Windows
}

TEST_F(CollectedOnce, ProcessorFactsAreComplete) {
  const auto& c = info->componentInfo;
  for (const char* key : {"familyGroup", "phyModel", "socket", "actualClockFreq", "cpuID",
                          "cpuCount", "cpuCores", "cpuThreads"}) {
    EXPECT_EQ(c.count(key), 1u) << key;
  }
  EXPECT_EQ(c.size(), 8u);
  EXPECT_EQ(c.at("familyGroup"), "Processor");
  EXPECT_FALSE(c.at("phyModel").empty());
  EXPECT_GT(std::stod(c.at("actualClockFreq")), 0.0);
}

TEST_F(CollectedOnce, LogsInTheOrderOfTheCollection) {
  const auto messages = log->Messages();
  const auto at = [&](const std::string& message) {
    return std::find(messages.begin(), messages.end(), message) - messages.begin();
  };
  const auto end = static_cast<long>(messages.size());
  EXPECT_LT(at("INFO: Processing CPU"), at("INFO: Checking CPU power status"));
  EXPECT_LT(at("INFO: Checking CPU power status"), at("INFO: Processing Ram Stick 0"));
  EXPECT_LT(at("INFO: Processing Ram Stick 0"), at("INFO: Gathering Device Info"));
  EXPECT_LT(at("INFO: Gathering Device Info"), end);
  EXPECT_NE(printed->find("INFO: Checking CPU power status\n"), std::string::npos);
  EXPECT_NE(printed->find("INFO: Gathering Device Info\n"), std::string::npos);
}
// Wine's WMI lists the disks but answers no ASSOCIATORS OF query, so each disk is reported and
// skipped, and no drive record is made.
TEST(EnumerateDrivesOnThePlatform, ReportsEachDiskAndMakesNoRecord) {
  std::vector<WmiRow> disks;
  ASSERT_EQ(QueryRows(disks, "select DeviceID from Win32_DiskDrive", "DeviceID"), 0);
  SystemInfo info;
  info.systemDrive = "C:";
  OutputWatch log;
  testing::internal::CaptureStdout();
  info.EnumerateDrives();
  const std::string printed = testing::internal::GetCapturedStdout();

  for (size_t n = 0; n < disks.size(); ++n) {
    const std::string& deviceId = disks[n].at("DeviceID");
    // As Wine delivers it: backslashes doubled.
    EXPECT_EQ(deviceId.rfind(R"(\\\\.\\PHYSICALDRIVE)", 0), size_t{0}) << deviceId;
    EXPECT_EQ(log.Count("INFO: Processing drive: " + std::to_string(n)), 1) << n;
    EXPECT_EQ(log.Count("WARN Query Win32_DiskDrive.DeviceID failed for " + deviceId), 1) << n;
  }
  EXPECT_TRUE(info.drives.empty());
  EXPECT_EQ(info.systemDiskIndex, -1);
  EXPECT_EQ(printed.find("*** ERROR ***"), std::string::npos) << printed;
}
}  // namespace
