#pragma once
// The three display-configuration calls the monitor lookup makes, as one parameter, and the
// structures it reads at their real layout.
#include <windows.h>

#include <cstddef>
#include <functional>

static_assert(sizeof(DISPLAYCONFIG_PATH_INFO) == 72, "path record");
static_assert(sizeof(DISPLAYCONFIG_MODE_INFO) == 64, "mode record");
static_assert(sizeof(DISPLAYCONFIG_DEVICE_INFO_HEADER) == 20, "device-info request header");
static_assert(sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME) == 84, "source-name request");
static_assert(sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME) == 420, "target-name request");
static_assert(offsetof(DISPLAYCONFIG_PATH_INFO, targetInfo) == 20, "path target");
static_assert(offsetof(DISPLAYCONFIG_SOURCE_DEVICE_NAME, viewGdiDeviceName) == 20, "GDI name");
static_assert(offsetof(DISPLAYCONFIG_TARGET_DEVICE_NAME, edidManufactureId) == 28, "EDID maker");
static_assert(offsetof(DISPLAYCONFIG_TARGET_DEVICE_NAME, monitorFriendlyDeviceName) == 36,
              "friendly name");
static_assert(offsetof(DISPLAYCONFIG_TARGET_DEVICE_NAME, monitorDevicePath) == 164, "device path");

// Each call returns 0 or a Windows error code, as the system's functions do.
struct DisplayConfigCalls {
  // GetDisplayConfigBufferSizes(flags, paths, modes)
  std::function<LONG(UINT32, UINT32*, UINT32*)> getBufferSizes;
  // QueryDisplayConfig(flags, paths, path array, modes, mode array) without a topology id
  std::function<LONG(UINT32, UINT32*, DISPLAYCONFIG_PATH_INFO*, UINT32*, DISPLAYCONFIG_MODE_INFO*)>
      queryConfig;
  // DisplayConfigGetDeviceInfo(request)
  std::function<LONG(DISPLAYCONFIG_DEVICE_INFO_HEADER*)> getDeviceInfo;
};

// The system's own calls.
const DisplayConfigCalls& SystemDisplayConfig();
