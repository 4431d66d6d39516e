#pragma once
// The system-information object: the machine's facts for the result document and the drive records.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/sysinfo/disk_bus.h"
#include "engine/sysinfo/usb_device_speed.h"
#include "engine/sysinfo/wmi_query.h"

// One logical drive on one physical disk.
struct DriveRecord {
  bool driveOnSysDisk = false;   // lies on the disk that holds the system drive
  std::string basePath;          // Win32_LogicalDisk DeviceID, e.g. C:
  std::string fileSystem;        // Win32_LogicalDisk FileSystem
  int32_t freeGB = 0;            // FreeSpace in 2^30 bytes, rounded half up
  double startingOffset = 0.0;   // Win32_DiskPartition StartingOffset, bytes
  int32_t phyIndex = 0;          // Win32_DiskDrive Index
  std::string phyMediaType;      // Win32_DiskDrive MediaType
  std::string phyInterfaceType;  // Win32_DiskDrive InterfaceType
  std::string phyModel;          // Win32_DiskDrive Model
  std::string phyFirmware;       // Win32_DiskDrive FirmwareRevision
  std::string phySerialNumber;   // Win32_DiskDrive SerialNumber
  std::string mbrSignature;      // Win32_DiskDrive Signature
  std::string phyPnpId;          // Win32_DiskDrive PNPDeviceID
  std::string busDesc;           // bus-reported description; empty when there is none
  int32_t phyCapacityGB = 0;     // Size in 10^9 bytes, rounded half up
  int32_t phyMinFreeGB = 0;      // sum of freeGB over the records of the same phyIndex
  std::string usbVID;            // four lower-case hex digits, USB disks only
  std::string usbPID;            // same form
  std::string usbConSpeed;       // bcdUSB as four lower-case hex digits, or "n/a"
};

// The USB version of the device with the given vvvv_pppp key, or empty when none matched.
using UsbVersionLookup = std::function<std::string(const std::string& key)>;

// The engine version stored under "cvnVersion".
std::string GetEngineVersion();

class SystemInfo {
 public:
  SystemInfo() = default;
  SystemInfo(const SystemInfo&) = delete;
  SystemInfo& operator=(const SystemInfo&) = delete;

  // Fills systemInfo, componentInfo, systemDrive and diskBusDescriptions; failures leave defaults.
  // Every WMI query goes through query.
  void GatherCpuAndSystemInfo(const RowQuery& query = QueryRows);
  // The memory, OS, board, video, BIOS, uptime, time and bitness facts and the bus descriptions.
  void GatherMemoryOsBoardInfo(const RowQuery& query = QueryRows);

  // Appends one record per logical disk reached from Win32_DiskDrive through its partitions, sets
  // systemDiskIndex when one is systemDrive, then sums the free space per disk. Failed queries are
  // logged and skipped.
  void EnumerateDrives(
      const RowQuery& query = QueryRows,
      const UsbVersionLookup& usbVersion = [](const std::string& key) {
        return FindUsbDeviceVersion(key);
      });
  // Sets each record's phyMinFreeGB to the sum of freeGB over the records of its phyIndex.
  void ComputeDiskFreeSums();
  // Marks the drives on the system disk and keeps, in order of decreasing free space, one drive
  // per physical disk and per base path, logging the lists before and after.
  void SelectDriveTargets();

  std::string systemDrive;   // e.g. C:; empty when unknown
  int systemDiskIndex = -1;  // phyIndex of the disk holding systemDrive; -1 when unknown
  std::vector<DriveRecord> drives;
  std::map<std::string, std::string> systemInfo;     // becomes "systemInfo"
  std::map<std::string, std::string> componentInfo;  // the CPU component's facts
  DiskBusDescriptionMap diskBusDescriptions;
};
