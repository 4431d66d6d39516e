// The drive list through crafted rows: the disks, their partitions and logical disks answer by
// query text, and the USB version comes from a recorded lookup.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "engine/sysinfo/system_info.h"
#include "tests/support/crafted_wmi.h"
#include "tests/support/output_watch.h"

namespace {
const char kDiskQuery[] =
    "select DeviceID,Model,MediaType,Size,InterfaceType,PNPDeviceID,Signature,Index,"
    "FirmwareRevision,SerialNumber from Win32_DiskDrive";
const char kDiskFields[] =
    "DeviceID,Model,MediaType,Size,InterfaceType,PNPDeviceID,Signature,Index,FirmwareRevision,"
    "SerialNumber";
const char kUsbHubQuery[] = "Select DeviceID from Win32_USBHub";

std::string PartitionQuery(const std::string& disk) {
  return "ASSOCIATORS OF {Win32_DiskDrive.DeviceID='" + disk +
         "'} WHERE ResultClass=Win32_DiskPartition";
}
std::string LogicalDiskQuery(const std::string& partition) {
  return "ASSOCIATORS OF {Win32_DiskPartition.DeviceID='" + partition +
         "'} where ResultClass=Win32_LogicalDisk";
}

WmiRow Disk(const std::string& index, const std::string& size = "500107862016",
            const std::string& interfaceType = "SCSI", const std::string& pnpId = "") {
  return {{"DeviceID", "\\\\.\\PHYSICALDRIVE" + index},
          {"Model", "Disk " + index},
          {"MediaType", "Fixed hard disk media"},
          {"Size", size},
          {"InterfaceType", interfaceType},
          {"PNPDeviceID", pnpId.empty() ? "SCSI\\DISK&VEN_X&PROD_" + index + "\\4&0&00" : pnpId},
          {"Signature", "12345678" + index},
          {"Index", index},
          {"FirmwareRevision", "FW" + index},
          {"SerialNumber", "SN" + index}};
}
WmiRow Partition(const std::string& id, const std::string& offset = "1048576") {
  return {{"DeviceID", id}, {"StartingOffset", offset}};
}
WmiRow LogicalDisk(const std::string& letter, const std::string& freeBytes) {
  return {{"DeviceID", letter}, {"FileSystem", "NTFS"}, {"FreeSpace", freeBytes},
          {"Size", "999"}};
}
std::string Gigabytes(long long count) { return std::to_string(count * 1024 * 1024 * 1024); }

// A machine of crafted answers; queries it does not know fail like queries that match nothing.
struct Machine {
  FakeRowQuery query;
  std::vector<std::string> usbKeys;  // what the USB version lookup was asked
  std::string usbVersion;            // what it answers

  Machine() { query.result = 1; }
  void AddDisk(const WmiRow& disk) { query.answers[kDiskQuery].push_back(disk); }
  void AddPartition(const std::string& disk, const WmiRow& partition) {
    query.answers[PartitionQuery(disk)].push_back(partition);
  }
  void AddLogicalDisk(const std::string& partition, const WmiRow& logicalDisk) {
    query.answers[LogicalDiskQuery(partition)].push_back(logicalDisk);
  }
  // One disk with one partition and one logical disk.
  void AddDrive(const WmiRow& disk, const WmiRow& partition, const WmiRow& logicalDisk) {
    AddDisk(disk);
    AddPartition(disk.at("DeviceID"), partition);
    AddLogicalDisk(partition.at("DeviceID"), logicalDisk);
  }
  void Enumerate(SystemInfo& info) {
    info.EnumerateDrives(query.Query(), [this](const std::string& key) {
      usbKeys.push_back(key);
      return usbVersion;
    });
  }
};

TEST(EnumerateDrives, ConvertsTheSizes) {
  struct Case {
    const char* name;
    std::string freeSpace;
    int freeGB;
    std::string size;
    int capacityGB;
  };
  const Case cases[] = {
      {"exactly 50 binary and 500.107862016 decimal gigabytes", "53687091200", 50, "500107862016",
       500},
      {"49.5 and 499.5 round up", "53150220288", 50, "499500000000", 500},
      {"one byte less rounds down", "53150220287", 49, "499499999999", 499},
      {"missing values are 0", "", 0, "", 0},
  };
  for (const Case& c : cases) {
    Machine machine;
    machine.AddDrive(Disk("0", c.size), Partition("Disk #0, Partition #0"),
                     LogicalDisk("C:", c.freeSpace));
    SystemInfo info;
    machine.Enumerate(info);
    ASSERT_EQ(info.drives.size(), 1u) << c.name;
    EXPECT_EQ(info.drives[0].freeGB, c.freeGB) << c.name;
    EXPECT_EQ(info.drives[0].phyCapacityGB, c.capacityGB) << c.name;
  }
}

TEST(EnumerateDrives, KeepsAStartingOffsetBeyond32Bits) {
  struct Case {
    std::string text;
    double offset;
  };
  const Case cases[] = {{"5000000000", 5000000000.0}, {"1048576", 1048576.0}, {"", 0.0},
                        {"n/a", 0.0}};
  for (const Case& c : cases) {
    Machine machine;
    machine.AddDrive(Disk("0"), Partition("Disk #0, Partition #0", c.text),
                     LogicalDisk("C:", Gigabytes(1)));
    SystemInfo info;
    machine.Enumerate(info);
    ASSERT_EQ(info.drives.size(), 1u) << c.text;
    EXPECT_EQ(info.drives[0].startingOffset, c.offset) << c.text;
  }
}

TEST(EnumerateDrives, FillsEachRecordFromItsDiskPartitionAndLogicalDisk) {
  Machine machine;
  machine.AddDrive(Disk("2"), Partition("Disk #2, Partition #1", "5000000000"),
                   LogicalDisk("C:", Gigabytes(20)));
  SystemInfo info;
  info.systemDrive = "C:";
  info.diskBusDescriptions["SCSI\\DISK&VEN_X&PROD_2\\4&0&00"] = {"SCSI\\DISK&VEN_X&PROD_2\\4&0&00",
                                                                 "Samsung SSD 970"};
  machine.Enumerate(info);

  ASSERT_EQ(info.drives.size(), 1u);
  const DriveRecord& r = info.drives[0];
  EXPECT_FALSE(r.driveOnSysDisk);
  EXPECT_EQ(r.basePath, "C:");
  EXPECT_EQ(r.fileSystem, "NTFS");
  EXPECT_EQ(r.freeGB, 20);
  EXPECT_EQ(r.startingOffset, 5000000000.0);
  EXPECT_EQ(r.phyIndex, 2);
  EXPECT_EQ(r.phyMediaType, "Fixed hard disk media");
  EXPECT_EQ(r.phyInterfaceType, "SCSI");
  EXPECT_EQ(r.phyModel, "Disk 2");
  EXPECT_EQ(r.phyFirmware, "FW2");
  EXPECT_EQ(r.phySerialNumber, "SN2");
  EXPECT_EQ(r.mbrSignature, "123456782");
  EXPECT_EQ(r.phyPnpId, "SCSI\\DISK&VEN_X&PROD_2\\4&0&00");
  EXPECT_EQ(r.busDesc, "Samsung SSD 970");
  EXPECT_EQ(r.phyCapacityGB, 500);
  EXPECT_EQ(r.phyMinFreeGB, 20);
  EXPECT_EQ(r.usbVID + r.usbPID + r.usbConSpeed, "");
  EXPECT_EQ(info.systemDiskIndex, 2);
}

TEST(EnumerateDrives, FindsTheBusDescriptionOnlyByTheExactDeviceId) {
  Machine machine;
  machine.AddDrive(Disk("0"), Partition("Disk #0, Partition #0"), LogicalDisk("C:", "1"));
  SystemInfo info;
  info.diskBusDescriptions["scsi\\disk&ven_x&prod_0\\4&0&00"] = {"scsi\\disk&ven_x&prod_0\\4&0&00",
                                                                "other case"};
  machine.Enumerate(info);
  ASSERT_EQ(info.drives.size(), 1u);
  EXPECT_EQ(info.drives[0].busDesc, "");
}

TEST(EnumerateDrives, WalksDisksPartitionsAndLogicalDisksInOrder) {
  // Disk 0: C: (20) and D: (30) on two partitions, a partition without a logical disk. Disk 1
  // has no partition. Disk 2: E: (100). The system drive is elsewhere.
  Machine machine;
  machine.AddDisk(Disk("0"));
  machine.AddDisk(Disk("1"));
  machine.AddDisk(Disk("2"));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE0", Partition("Disk #0, Partition #0"));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE0", Partition("Disk #0, Partition #1"));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE0", Partition("Disk #0, Partition #2"));
  machine.AddLogicalDisk("Disk #0, Partition #0", LogicalDisk("C:", Gigabytes(20)));
  machine.AddLogicalDisk("Disk #0, Partition #2", LogicalDisk("D:", Gigabytes(30)));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE2", Partition("Disk #2, Partition #0"));
  machine.AddLogicalDisk("Disk #2, Partition #0", LogicalDisk("E:", Gigabytes(100)));
  SystemInfo info;
  info.systemDrive = "Z:";
  OutputWatch log;
  machine.Enumerate(info);

  std::vector<std::string> drives;
  std::vector<int> minFree;
  for (const DriveRecord& r : info.drives) {
    drives.push_back(r.basePath + std::to_string(r.phyIndex));
    minFree.push_back(r.phyMinFreeGB);
  }
  EXPECT_EQ(drives, (std::vector<std::string>{"C:0", "D:0", "E:2"}));
  EXPECT_EQ(minFree, (std::vector<int>{50, 50, 100}));
  EXPECT_EQ(info.systemDiskIndex, -1);

  const std::vector<std::pair<std::string, std::string>> asked = {
      {kDiskQuery, kDiskFields},
      {PartitionQuery("\\\\.\\PHYSICALDRIVE0"), "DeviceID,StartingOffset"},
      {LogicalDiskQuery("Disk #0, Partition #0"), "DeviceID,FileSystem,FreeSpace,Size"},
      {LogicalDiskQuery("Disk #0, Partition #1"), "DeviceID,FileSystem,FreeSpace,Size"},
      {LogicalDiskQuery("Disk #0, Partition #2"), "DeviceID,FileSystem,FreeSpace,Size"},
      {PartitionQuery("\\\\.\\PHYSICALDRIVE1"), "DeviceID,StartingOffset"},
      {PartitionQuery("\\\\.\\PHYSICALDRIVE2"), "DeviceID,StartingOffset"},
      {LogicalDiskQuery("Disk #2, Partition #0"), "DeviceID,FileSystem,FreeSpace,Size"},
  };
  EXPECT_EQ(machine.query.asked, asked);
  // Only the disk without partitions is reported; the partition without a logical disk is not.
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{
                "INFO: Processing drive: 0", "INFO: Processing drive: 1",
                "WARN Query Win32_DiskDrive.DeviceID failed for \\\\.\\PHYSICALDRIVE1",
                "INFO: Processing drive: 2"}));
}

TEST(EnumerateDrives, AVolumeReachedThroughTwoPartitionsGivesTwoRecords) {
  Machine machine;
  machine.AddDisk(Disk("0"));
  machine.AddDisk(Disk("1"));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE0", Partition("Disk #0, Partition #0"));
  machine.AddPartition("\\\\.\\PHYSICALDRIVE1", Partition("Disk #1, Partition #0"));
  machine.AddLogicalDisk("Disk #0, Partition #0", LogicalDisk("F:", Gigabytes(7)));
  machine.AddLogicalDisk("Disk #1, Partition #0", LogicalDisk("F:", Gigabytes(7)));
  SystemInfo info;
  machine.Enumerate(info);
  ASSERT_EQ(info.drives.size(), 2u);
  EXPECT_EQ(info.drives[0].basePath + info.drives[1].basePath, "F:F:");
  EXPECT_EQ(info.drives[1].phyIndex, 1);
}

TEST(EnumerateDrives, AFailedDiskQueryMakesNoRecord) {
  Machine machine;
  SystemInfo info;
  info.systemDrive = "C:";
  OutputWatch log;
  machine.Enumerate(info);
  EXPECT_TRUE(info.drives.empty());
  EXPECT_EQ(info.systemDiskIndex, -1);
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"WARN Query Win32_DiskDrives failed."});
  EXPECT_EQ(machine.query.asked.size(), 1u);
}

// A USB flash drive as Windows lists it: the disk's device id and the USB device's id share the
// instance part.
const char kUsbDiskId[] = "USBSTOR\\DISK&VEN_SANDISK&PROD_ULTRA&REV_1.00\\4C530001230101112345&0";

TEST(EnumerateDrives, ReadsTheUsbIdsAndVersionOfAUsbDisk) {
  struct Case {
    const char* name;
    std::string interfaceType;
    std::string pnpId;
    std::vector<std::string> hubDevices;  // none: the USB device query fails
    std::string version;                  // what the lookup answers
    bool hubQueried;
    std::vector<std::string> keys;        // asked of the lookup
    std::string vid, pid, speed;
  };
  const Case cases[] = {
      {"a matching device",
       "USB",
       kUsbDiskId,
       {"USB\\VID_8087&PID_0024\\5&1", "USB\\VID_0781&PID_5581\\4C530001230101112345"},
       "0210",
       true,
       {"0781_5581"},
       "0781",
       "5581",
       "0210"},
      {"hexadecimal letters are lowered",
       "USB",
       kUsbDiskId,
       {"USB\\VID_0A5C&PID_21E8\\4C530001230101112345"},
       "0200",
       true,
       {"0a5c_21e8"},
       "0a5c",
       "21e8",
       "0200"},
      {"no version found gives n/a",
       "USB",
       kUsbDiskId,
       {"USB\\VID_0781&PID_5581\\4C530001230101112345"},
       "",
       true,
       {"0781_5581"},
       "0781",
       "5581",
       "n/a"},
      {"an interface part stays in the product id",
       "USB",
       kUsbDiskId,
       {"USB\\VID_0781&PID_5581&MI_00\\4C530001230101112345"},
       "0210",
       true,
       {"0781&pid_5581_5581&mi_00"},
       "0781&pid_5581",
       "5581&mi_00",
       "0210"},
      {"a later matching device overwrites an earlier one",
       "USB",
       kUsbDiskId,
       {"USB\\VID_0781&PID_5581\\4C530001230101112345",
        "USB\\VID_0951&PID_1666\\4C530001230101112345"},
       "0300",
       true,
       {"0781_5581", "0951_1666"},
       "0951",
       "1666",
       "0300"},
      {"no matching device", "USB", kUsbDiskId, {"USB\\VID_8087&PID_0024\\5&1"}, "0210", true, {},
       "", "", ""},
      {"a device id without an ampersand makes no USB query", "USB", "USBSTOR\\DISK\\SN1", {}, "",
       false, {}, "", "", ""},
      {"a device id without a backslash makes no USB query", "USB", "USBSTOR&DISK", {}, "", false,
       {}, "", "", ""},
      {"a disk on another bus gets no USB fields", "SCSI", kUsbDiskId,
       {"USB\\VID_0781&PID_5581\\4C530001230101112345"}, "0210", false, {}, "", "", ""},
      {"the bus name is compared whole and case-sensitively", "usb", kUsbDiskId,
       {"USB\\VID_0781&PID_5581\\4C530001230101112345"}, "0210", false, {}, "", "", ""},
  };
  for (const Case& c : cases) {
    Machine machine;
    machine.usbVersion = c.version;
    machine.AddDrive(Disk("1", "64000000000", c.interfaceType, c.pnpId),
                     Partition("Disk #1, Partition #0"), LogicalDisk("E:", Gigabytes(3)));
    for (const std::string& id : c.hubDevices) {
      machine.query.answers[kUsbHubQuery].push_back({{"DeviceID", id}});
    }
    SystemInfo info;
    machine.Enumerate(info);

    ASSERT_EQ(info.drives.size(), 1u) << c.name;
    const DriveRecord& r = info.drives[0];
    EXPECT_EQ(r.usbVID, c.vid) << c.name;
    EXPECT_EQ(r.usbPID, c.pid) << c.name;
    EXPECT_EQ(r.usbConSpeed, c.speed) << c.name;
    EXPECT_EQ(machine.usbKeys, c.keys) << c.name;
    int hubQueries = 0;
    for (const auto& asked : machine.query.asked) {
      if (asked.first == kUsbHubQuery) {
        ++hubQueries;
        EXPECT_EQ(asked.second, "DeviceID") << c.name;
      }
    }
    EXPECT_EQ(hubQueries, c.hubQueried ? 1 : 0) << c.name;
  }
}

TEST(EnumerateDrives, AFailedUsbDeviceQueryIsLoggedWithItsSourceLine) {
  Machine machine;
  machine.AddDrive(Disk("1", "64000000000", "USB", kUsbDiskId), Partition("Disk #1, Partition #0"),
                   LogicalDisk("E:", Gigabytes(3)));
  SystemInfo info;
  OutputWatch log;
  machine.Enumerate(info);
  ASSERT_EQ(info.drives.size(), 1u);
  EXPECT_EQ(info.drives[0].usbVID + info.drives[0].usbPID + info.drives[0].usbConSpeed, "");

  const std::vector<LogEntry> entries = log.Log();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].category, "S ");
  // The source line in five left-aligned columns, then one blank.
  EXPECT_TRUE(std::regex_match(entries[1].message,
                               std::regex("ERROR: selecting Win32_USBHub [0-9]{1,5} *")))
      << entries[1].message;
  EXPECT_EQ(entries[1].message.size(), std::string("ERROR: selecting Win32_USBHub ").size() + 6);
  // The number in the message is the log line's own source line.
  const std::string line = log.Lines()[1];
  const std::string lineNumber = line.substr(2, line.find(' ', 2) - 2);
  EXPECT_EQ(entries[1].message.substr(30, lineNumber.size()), lineNumber);
}
}  // namespace
