#include "engine/sysinfo/drive_targets.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "common/run_log.h"

namespace {
void AddTextUnlessEmpty(boost::property_tree::ptree& tree, const char* key,
                        const std::string& value) {
  if (!value.empty()) tree.add(std::string("componentInfo.") + key, value);
}
}  // namespace

void LogDriveRecord(const DriveRecord& record) {
  std::ostringstream line;
  line << "INFO: driveLetter = " << record.basePath << " fileSystem = " << record.fileSystem
       << " freeGB = " << record.freeGB << " startingOffset = " << record.startingOffset
       << " phyIndex = " << record.phyIndex << " phyMediaType = " << record.phyMediaType
       << " phyInterfaceType = " << record.phyInterfaceType << " phyModel = " << record.phyModel
       << " phyFirmware = " << record.phyFirmware
       << " phySerialNumber = " << record.phySerialNumber << " phyPnpId = " << record.phyPnpId
       << " busDesc = " << record.busDesc << " phyCapacityGB = " << record.phyCapacityGB
       << " phyMinFreeGB = " << record.phyMinFreeGB << " usbVID = " << record.usbVID
       << " usbPID = " << record.usbPID << " usbConSpeed = " << record.usbConSpeed;
  WriteLogLine(kLogS, __LINE__, line.str());
}

void WriteDriveComponentInfo(const DriveRecord& record, boost::property_tree::ptree& tree) {
  tree.add("componentInfo.familyGroup", "Drive");
  tree.add("componentInfo.driveOnSysDisk", record.driveOnSysDisk);
  AddTextUnlessEmpty(tree, "basePath", record.basePath);
  AddTextUnlessEmpty(tree, "fileSystem", record.fileSystem);
  tree.add("componentInfo.freeGB", record.freeGB);
  tree.add("componentInfo.startingOffset", record.startingOffset);
  tree.add("componentInfo.phyIndex", record.phyIndex);
  AddTextUnlessEmpty(tree, "phyMediaType", record.phyMediaType);
  AddTextUnlessEmpty(tree, "phyInterfaceType", record.phyInterfaceType);
  AddTextUnlessEmpty(tree, "phyModel", record.phyModel);
  AddTextUnlessEmpty(tree, "phyFirmware", record.phyFirmware);
  AddTextUnlessEmpty(tree, "phySerialNumber", record.phySerialNumber);
  AddTextUnlessEmpty(tree, "phyPnpId", record.phyPnpId);
  AddTextUnlessEmpty(tree, "busDesc", record.busDesc);
  AddTextUnlessEmpty(tree, "mbrSignature", record.mbrSignature);
  tree.add("componentInfo.phyCapacityGB", record.phyCapacityGB);
  tree.add("componentInfo.phyMinFreeGB", record.phyMinFreeGB);
  AddTextUnlessEmpty(tree, "usbVID", record.usbVID);
  AddTextUnlessEmpty(tree, "usbPID", record.usbPID);
  AddTextUnlessEmpty(tree, "usbConSpeed", record.usbConSpeed);
}

void SystemInfo::SelectDriveTargets() {
  WriteLogLine(kLogS, __LINE__, "INFO: PreSelection targets");
  for (DriveRecord& record : drives) {
    if (record.phyIndex == systemDiskIndex) record.driveOnSysDisk = true;
    LogDriveRecord(record);
  }

  std::stable_sort(drives.begin(), drives.end(), [](const DriveRecord& a, const DriveRecord& b) {
    return a.freeGB > b.freeGB;
  });

  std::set<int32_t> disksTaken;
  std::set<std::string> pathsTaken;
  for (auto it = drives.begin(); it != drives.end();) {
    if (disksTaken.count(it->phyIndex) != 0 || pathsTaken.count(it->basePath) != 0) {
      WriteLogLine(kLogS, __LINE__, "INFO: Skipping " + it->basePath);
      it = drives.erase(it);
      continue;
    }
    disksTaken.insert(it->phyIndex);
    pathsTaken.insert(it->basePath);
    ++it;
  }

  WriteLogLine(kLogS, __LINE__, "INFO: Post selection targets");
  for (const DriveRecord& record : drives) LogDriveRecord(record);
}
