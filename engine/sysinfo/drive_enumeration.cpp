// The drive list: every logical disk reached from the physical disks through their partitions,
// with the disk's facts, its bus description and, for USB disks, the USB ids and version.
#include <cstdlib>
#include <iomanip>
#include <map>
#include <sstream>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/sysinfo/system_info.h"

namespace {
// Bytes in binary gigabytes, rounded half up.
int32_t BinaryGigabytes(const std::string& bytes) {
  const double perGigabyte = 1.0 / 1024;
  return static_cast<int32_t>(std::atof(bytes.c_str()) * perGigabyte * perGigabyte * perGigabyte +
                              0.5);
}

// Bytes in decimal gigabytes, rounded half up.
int32_t DecimalGigabytes(const std::string& bytes) {
  return static_cast<int32_t>(std::atof(bytes.c_str()) / 1000.0 / 1000.0 / 1000.0 + 0.5);
}

// A byte count beyond 32 bits at its full value; empty or non-numeric text gives 0.
double ByteCount(const std::string& bytes) {
  return static_cast<double>(std::strtoll(bytes.c_str(), nullptr, 10));
}

// The message keeps the source line of the log statement in five left-aligned columns.
std::string UsbHubQueryError(int sourceLine) {
  std::ostringstream message;
  message << "ERROR: selecting Win32_USBHub " << std::left << std::setw(5) << sourceLine << ' ';
  return message.str();
}

// The USB ids of the hub device whose id ends with the disk's instance part, and its version.
void AddUsbDetails(DriveRecord& record, const RowQuery& query,
                   const UsbVersionLookup& usbVersion) {
  const std::string instancePart = ExtractBetween(record.phyPnpId);
  if (instancePart.empty()) return;

  std::vector<WmiRow> devices;
  if (query(devices, "Select DeviceID from Win32_USBHub", "DeviceID") == 1) {
    WriteLogLine(kLogS, __LINE__, UsbHubQueryError(__LINE__));
    return;
  }
  for (const WmiRow& device : devices) {
    const std::string& deviceId = RowField(device, "DeviceID");
    if (!EndsWith(deviceId, instancePart)) continue;
    std::string vid = ExtractAfterMarker(deviceId, "VID_", "&");
    std::string pid = ExtractAfterMarker(deviceId, "PID_", "\\");
    ToLowerInPlace(vid);
    ToLowerInPlace(pid);
    const std::string speed = usbVersion(vid + "_" + pid);
    record.usbVID = vid;
    record.usbPID = pid;
    record.usbConSpeed = speed.empty() ? "n/a" : speed;
  }
}
}  // namespace

void SystemInfo::EnumerateDrives(const RowQuery& query, const UsbVersionLookup& usbVersion) {
  std::vector<WmiRow> disks;
  if (query(disks,
            "select DeviceID,Model,MediaType,Size,InterfaceType,PNPDeviceID,Signature,Index,"
            "FirmwareRevision,SerialNumber from Win32_DiskDrive",
            "DeviceID,Model,MediaType,Size,InterfaceType,PNPDeviceID,Signature,Index,"
            "FirmwareRevision,SerialNumber") == 1) {
    WriteLogLine(kLogS, __LINE__, "WARN Query Win32_DiskDrives failed.");
  }

  for (size_t diskNumber = 0; diskNumber < disks.size(); ++diskNumber) {
    const WmiRow& disk = disks[diskNumber];
    WriteLogLine(kLogS, __LINE__,
                 "INFO: Processing drive: " + ToString(static_cast<unsigned>(diskNumber)));
    const std::string& diskId = RowField(disk, "DeviceID");

    std::vector<WmiRow> partitions;
    if (query(partitions,
              "ASSOCIATORS OF {Win32_DiskDrive.DeviceID='" + diskId +
                  "'} WHERE ResultClass=Win32_DiskPartition",
              "DeviceID,StartingOffset") == 1) {
      WriteLogLine(kLogS, __LINE__, "WARN Query Win32_DiskDrive.DeviceID failed for " + diskId);
      continue;
    }

    for (const WmiRow& partition : partitions) {
      std::vector<WmiRow> logicalDisks;
      if (query(logicalDisks,
                "ASSOCIATORS OF {Win32_DiskPartition.DeviceID='" + RowField(partition, "DeviceID") +
                    "'} where ResultClass=Win32_LogicalDisk",
                "DeviceID,FileSystem,FreeSpace,Size") == 1) {
        continue;
      }

      for (const WmiRow& logicalDisk : logicalDisks) {
        DriveRecord record;
        record.basePath = RowField(logicalDisk, "DeviceID");
        record.fileSystem = RowField(logicalDisk, "FileSystem");
        record.freeGB = BinaryGigabytes(RowField(logicalDisk, "FreeSpace"));
        record.startingOffset = ByteCount(RowField(partition, "StartingOffset"));
        record.phyIndex = static_cast<int32_t>(std::atol(RowField(disk, "Index").c_str()));
        if (record.basePath == systemDrive) systemDiskIndex = record.phyIndex;
        record.phyMediaType = RowField(disk, "MediaType");
        record.phyInterfaceType = RowField(disk, "InterfaceType");
        record.phyModel = RowField(disk, "Model");
        record.phyFirmware = RowField(disk, "FirmwareRevision");
        record.phySerialNumber = RowField(disk, "SerialNumber");
        record.phyPnpId = RowField(disk, "PNPDeviceID");
        const auto description = diskBusDescriptions.find(record.phyPnpId);
        if (description != diskBusDescriptions.end()) {
          record.busDesc = description->second.description;
        }
        record.phyCapacityGB = DecimalGigabytes(RowField(disk, "Size"));
        record.mbrSignature = RowField(disk, "Signature");
        if (record.phyInterfaceType == "USB") AddUsbDetails(record, query, usbVersion);
        drives.push_back(record);
      }
    }
  }
  ComputeDiskFreeSums();
}

void SystemInfo::ComputeDiskFreeSums() {
  std::map<int32_t, int32_t> freePerDisk;
  for (const DriveRecord& record : drives) freePerDisk[record.phyIndex] += record.freeGB;
  for (DriveRecord& record : drives) record.phyMinFreeGB = freePerDisk[record.phyIndex];
}
