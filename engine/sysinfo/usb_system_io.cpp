// The USB walk's calls on this system: CreateFileA, DeviceIoControl and the SetupAPI listing of
// the USB host controller interfaces.
#include <windows.h>
#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "common/platform/device_info_set.h"
#include "common/platform/memory_blocks.h"
#include "engine/sysinfo/usb_device_speed.h"

// The detail record's size member is the size of its fixed part, which differs per flavor.
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8, "interface detail record");
#else
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5, "interface detail record");
#endif

namespace {
// {3ABF6F2D-71C4-462A-8A92-1E6861E6AF27}
const GUID kUsbHostControllerInterface = {
    0x3abf6f2d, 0x71c4, 0x462a, {0x8a, 0x92, 0x1e, 0x68, 0x61, 0xe6, 0xaf, 0x27}};

HANDLE OpenDevice(const std::string& name) {
  return CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

BOOL ControlDevice(HANDLE device, DWORD code, void* buffer, DWORD size, DWORD* returned) {
  return DeviceIoControl(device, code, buffer, size, buffer, size, returned, nullptr);
}

// The device path of one interface; empty when its detail cannot be read, so its open fails.
std::string InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr);
  if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return std::string();
  const LocalBuffer block(required);
  if (block.bytes == nullptr) return std::string();
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.bytes);
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, required, nullptr, nullptr)) {
    return std::string();
  }
  const size_t pathRoom = required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  return std::string(detail->DevicePath, strnlen(detail->DevicePath, pathRoom));
}

bool ListHostControllerPaths(std::vector<std::string>& paths) {
  const DeviceInfoSet set(SetupDiGetClassDevsA(&kUsbHostControllerInterface, nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set.valid()) return false;
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA interfaceData;
    std::memset(&interfaceData, 0, sizeof interfaceData);
    interfaceData.cbSize = sizeof interfaceData;
    if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kUsbHostControllerInterface, index,
                                     &interfaceData)) {
      break;
    }
    paths.push_back(InterfacePath(set.get(), interfaceData));
  }
  return true;
}
}  // namespace

UsbIo SystemUsbIo() { return UsbIo{OpenDevice, ControlDevice, ListHostControllerPaths}; }
