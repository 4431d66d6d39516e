#include "gpustats/monitor_lookup.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "common/child_lines.h"
#include "gpustats/narrowed_text.h"
#include "gpustats/value_text.h"

namespace {
// The device path \\?\DISPLAY#ABC1234#... holds the monitor's hardware id at bytes 12 to 18.
constexpr size_t kPathKeyStart = 12;
constexpr size_t kPathKeyLength = 7;
constexpr size_t kShortestKeyedPath = 20;

// Each request is zeroed before its header is filled.
template <typename Request>
Request DeviceInfoRequest(DISPLAYCONFIG_DEVICE_INFO_TYPE type, LUID adapterId, UINT32 id) {
  Request request = {};
  request.header.type = type;
  request.header.size = sizeof(Request);
  request.header.adapterId = adapterId;
  request.header.id = id;
  return request;
}

// The monitor at the path's target; false (with its line written) when the query failed.
bool ReadMonitor(const DISPLAYCONFIG_PATH_INFO& path, const DisplayConfigCalls& calls,
                 std::ostream& out, DISPLAYCONFIG_TARGET_DEVICE_NAME& monitor) {
  monitor = DeviceInfoRequest<DISPLAYCONFIG_TARGET_DEVICE_NAME>(
      DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME, path.targetInfo.adapterId, path.targetInfo.id);
  const LONG status = calls.getDeviceInfo(&monitor.header);
  if (status != ERROR_SUCCESS) {
    PrintLogLine(out, "ERROR: Target DisplayConfigGetDeviceInfo code: ", status);
    return false;
  }
  return true;
}

void ReportMonitor(const DISPLAYCONFIG_TARGET_DEVICE_NAME& monitor, const std::string& target,
                   nlohmann::json& answer, std::ostream& out) {
  const std::string name = NarrowedText(monitor.monitorFriendlyDeviceName);
  const std::string devicePath = NarrowedText(monitor.monitorDevicePath);
  PrintLogLine(out, "DEBUG: Mapped: ", target, " to Monitor(", name, ") PATH(", devicePath,
               ") MFID(", monitor.edidManufactureId, ") PCID(", monitor.edidProductCodeId, ")");
  answer["monHWName"] = Latin1AsUtf8(name);
  if (devicePath.size() >= kShortestKeyedPath) {
    answer["monHWPathKey"] = Latin1AsUtf8(devicePath.substr(kPathKeyStart, kPathKeyLength));
  }
  if (monitor.edidManufactureId != 0) {
    answer["monHWMFID"] = ToString<uint16_t>(monitor.edidManufactureId);
  }
}
}  // namespace

int findMonitorInfo(nlohmann::json& answer, std::string target, std::ostream& out,
                    const DisplayConfigCalls& calls) {
  UINT32 pathCount = 0;
  UINT32 modeCount = 0;
  LONG status = calls.getBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount);
  if (status != ERROR_SUCCESS || pathCount == 0) {
    PrintLogLine(out, "ERROR: GetDisplayConfigBufferSizes code: ", status, " arrsize ", pathCount);
    return 1;
  }
  // Sizes the system reports may be more than this process can hold: that ends the stage, not
  // the run, so the vendor stages still report.
  std::vector<DISPLAYCONFIG_PATH_INFO> paths;
  std::vector<DISPLAYCONFIG_MODE_INFO> modes;
  try {
    paths.resize(pathCount);
    modes.resize(modeCount);
  } catch (const std::exception&) {
    PrintLogLine(out, "ERROR: Display configuration arrays not allocated for ", pathCount,
                 " paths and ", modeCount, " modes");
    return 1;
  }
  UINT32 returnedPaths = pathCount;
  UINT32 returnedModes = modeCount;
  status = calls.queryConfig(QDC_ONLY_ACTIVE_PATHS, &returnedPaths, paths.data(), &returnedModes,
                             modes.data());
  if (status != ERROR_SUCCESS) {
    PrintLogLine(out, "ERROR: QueryDisplayConfig code: ", status);
    return 1;
  }
  // A count above the array's size is not believed.
  const UINT32 examined = std::min(returnedPaths, pathCount);
  for (UINT32 i = 0; i < examined; ++i) {
    const DISPLAYCONFIG_PATH_INFO& path = paths[i];
    auto source = DeviceInfoRequest<DISPLAYCONFIG_SOURCE_DEVICE_NAME>(
        DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME, path.sourceInfo.adapterId, path.sourceInfo.id);
    status = calls.getDeviceInfo(&source.header);
    if (status != ERROR_SUCCESS) {
      PrintLogLine(out, "ERROR: Source DisplayConfigGetDeviceInfo code: ", status);
      continue;
    }
    if (NarrowedText(source.viewGdiDeviceName) != target) continue;
    DISPLAYCONFIG_TARGET_DEVICE_NAME monitor;
    if (!ReadMonitor(path, calls, out, monitor)) continue;
    ReportMonitor(monitor, target, answer, out);
    return 0;
  }
  return 1;
}

int findMonitorInfo(nlohmann::json& answer, std::string target, std::ostream& out) {
  return findMonitorInfo(answer, std::move(target), out, SystemDisplayConfig());
}
