// Choosing the drives to benchmark, their log lines and their component entries.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/sysinfo/drive_targets.h"
#include "tests/support/output_watch.h"

namespace {
DriveRecord Drive(const std::string& basePath, int freeGB, int phyIndex) {
  DriveRecord record;
  record.basePath = basePath;
  record.fileSystem = "NTFS";
  record.freeGB = freeGB;
  record.startingOffset = 1048576;
  record.phyIndex = phyIndex;
  return record;
}

std::string LogLine(const DriveRecord& r) {
  return "INFO: driveLetter = " + r.basePath + " fileSystem = NTFS freeGB = " +
         std::to_string(r.freeGB) +
         " startingOffset = 1.04858e+06 phyIndex = " + std::to_string(r.phyIndex) +
         " phyMediaType =  phyInterfaceType =  phyModel =  phyFirmware =  phySerialNumber =  "
         "phyPnpId =  busDesc =  phyCapacityGB = 0 phyMinFreeGB = 0 usbVID =  usbPID =  "
         "usbConSpeed = ";
}

std::vector<std::string> Paths(const SystemInfo& info) {
  std::vector<std::string> paths;
  for (const DriveRecord& r : info.drives) paths.push_back(r.basePath + std::to_string(r.phyIndex));
  return paths;
}

TEST(SelectDriveTargets, KeepsTheFreestDrivePerDiskAndLogsBothLists) {
  SystemInfo info;
  info.drives = {Drive("C:", 40, 0), Drive("D:", 300, 0), Drive("E:", 10, 1)};
  info.systemDiskIndex = 0;
  OutputWatch log;
  info.SelectDriveTargets();

  EXPECT_EQ(Paths(info), (std::vector<std::string>{"D:0", "E:1"}));
  EXPECT_TRUE(info.drives[0].driveOnSysDisk);
  EXPECT_FALSE(info.drives[1].driveOnSysDisk);

  DriveRecord c = Drive("C:", 40, 0), d = Drive("D:", 300, 0), e = Drive("E:", 10, 1);
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"INFO: PreSelection targets", LogLine(c), LogLine(d),
                                      LogLine(e), "INFO: Skipping C:",
                                      "INFO: Post selection targets", LogLine(d), LogLine(e)}));
  for (const LogEntry& entry : log.Log()) EXPECT_EQ(entry.category, "S ");
}

TEST(SelectDriveTargets, ChoosesByFreeSpaceDiskAndBasePath) {
  struct Case {
    const char* name;
    std::vector<DriveRecord> drives;
    std::vector<std::string> kept;
    std::vector<std::string> skipped;
  };
  const Case cases[] = {
      {"equal free space keeps the drive enumerated first",
       {Drive("C:", 50, 0), Drive("D:", 50, 0)},
       {"C:0"},
       {"INFO: Skipping D:"}},
      {"a spanned volume is kept once and does not take the second disk",
       {Drive("F:", 90, 0), Drive("F:", 90, 1), Drive("G:", 20, 1)},
       {"F:0", "G:1"},
       {"INFO: Skipping F:"}},
      {"ordered by decreasing free space",
       {Drive("C:", 1, 0), Drive("D:", 3, 1), Drive("E:", 2, 2)},
       {"D:1", "E:2", "C:0"},
       {}},
      {"an empty list", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SystemInfo info;
    info.drives = c.drives;
    OutputWatch log;
    info.SelectDriveTargets();
    EXPECT_EQ(Paths(info), c.kept) << c.name;
    std::vector<std::string> skipped;
    for (const std::string& message : log.Messages()) {
      if (message.rfind("INFO: Skipping", 0) == 0) skipped.push_back(message);
    }
    EXPECT_EQ(skipped, c.skipped) << c.name;
    EXPECT_EQ(log.Count("INFO: PreSelection targets"), 1) << c.name;
    EXPECT_EQ(log.Count("INFO: Post selection targets"), 1) << c.name;
  }
}

TEST(SelectDriveTargets, WithoutASystemDiskNoDriveIsOnIt) {
  SystemInfo info;
  info.drives = {Drive("C:", 40, 0), Drive("D:", 30, 1)};
  ASSERT_EQ(info.systemDiskIndex, -1);
  info.SelectDriveTargets();
  for (const DriveRecord& r : info.drives) EXPECT_FALSE(r.driveOnSysDisk) << r.basePath;
}

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries ComponentInfo(const DriveRecord& record) {
  boost::property_tree::ptree component;
  WriteDriveComponentInfo(record, component);
  Entries entries;
  for (const auto& entry : component.get_child("componentInfo")) {
    entries.emplace_back(entry.first, entry.second.data());
  }
  EXPECT_EQ(component.size(), 1u);
  return entries;
}

TEST(WriteDriveComponentInfo, WritesEveryFactInOrderWithTheSignatureAfterTheBusDescription) {
  DriveRecord r;
  r.driveOnSysDisk = true;
  r.basePath = "C:";
  r.fileSystem = "NTFS";
  r.freeGB = 120;
  r.startingOffset = 5000000000.0;
  r.phyIndex = 1;
  r.phyMediaType = "External hard disk media";
  r.phyInterfaceType = "USB";
  r.phyModel = "SanDisk Ultra USB Device";
  r.phyFirmware = "1.00";
  r.phySerialNumber = "4C5300";
  r.mbrSignature = "305419896";
  r.phyPnpId = "USBSTOR\\DISK&VEN_SANDISK\\4C5300&0";
  r.busDesc = "SanDisk Ultra";
  r.phyCapacityGB = 64;
  r.phyMinFreeGB = 121;
  r.usbVID = "0781";
  r.usbPID = "5581";
  r.usbConSpeed = "0210";
  EXPECT_EQ(ComponentInfo(r), (Entries{{"familyGroup", "Drive"},
                                       {"driveOnSysDisk", "true"},
                                       {"basePath", "C:"},
                                       {"fileSystem", "NTFS"},
                                       {"freeGB", "120"},
                                       {"startingOffset", "5000000000"},
                                       {"phyIndex", "1"},
                                       {"phyMediaType", "External hard disk media"},
                                       {"phyInterfaceType", "USB"},
                                       {"phyModel", "SanDisk Ultra USB Device"},
                                       {"phyFirmware", "1.00"},
                                       {"phySerialNumber", "4C5300"},
                                       {"phyPnpId", "USBSTOR\\DISK&VEN_SANDISK\\4C5300&0"},
                                       {"busDesc", "SanDisk Ultra"},
                                       {"mbrSignature", "305419896"},
                                       {"phyCapacityGB", "64"},
                                       {"phyMinFreeGB", "121"},
                                       {"usbVID", "0781"},
                                       {"usbPID", "5581"},
                                       {"usbConSpeed", "0210"}}));
}

TEST(WriteDriveComponentInfo, LeavesOutEmptyTextsButNeverTheNumbers) {
  DriveRecord r;
  r.startingOffset = 0.1;  // the document's doubles keep 17 significant digits
  r.phyIndex = -1;
  EXPECT_EQ(ComponentInfo(r), (Entries{{"familyGroup", "Drive"},
                                       {"driveOnSysDisk", "false"},
                                       {"freeGB", "0"},
                                       {"startingOffset", "0.10000000000000001"},
                                       {"phyIndex", "-1"},
                                       {"phyCapacityGB", "0"},
                                       {"phyMinFreeGB", "0"}}));
}

TEST(WriteDriveComponentInfo, AppendsToTheComponentsExistingFacts) {
  boost::property_tree::ptree component;
  component.add("componentInfo.familyGroup", "earlier");
  WriteDriveComponentInfo(DriveRecord(), component);
  EXPECT_EQ(component.count("componentInfo"), 1u);
  EXPECT_EQ(component.get_child("componentInfo").count("familyGroup"), 2u);
}
}  // namespace
