#include "engine/sysinfo/disk_bus.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

#include "common/platform/device_info_set.h"
#include "common/platform/module_symbol.h"
#include "engine/sysinfo/wmi_text.h"

namespace {
// {4D36E967-E325-11CE-BFC1-08002BE10318}
const GUID kDiskDriveClass = {
    0x4d36e967, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
// {540B947E-8B40-45BC-A8A2-6A0B894CBDA2}, 4
const DEVPROPKEY kBusReportedDeviceDesc = {
    {0x540b947e, 0x8b40, 0x45bc, {0xa8, 0xa2, 0x6a, 0x0b, 0x89, 0x4c, 0xbd, 0xa2}}, 4};

constexpr DWORD kPropertyBufferSize = 8192;

using GetDevicePropertyFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const DEVPROPKEY*,
                                          DEVPROPTYPE*, PBYTE, DWORD, PDWORD, DWORD);

std::string ReadBusDescription(GetDevicePropertyFn getProperty, HDEVINFO set,
                               SP_DEVINFO_DATA& device) {
  if (getProperty == nullptr) return std::string();
  std::vector<unsigned char> buffer(kPropertyBufferSize, 0);
  DEVPROPTYPE type = 0;
  DWORD required = 0;
  if (!getProperty(set, &device, &kBusReportedDeviceDesc, &type, buffer.data(), kPropertyBufferSize,
                   &required, 0)) {
    return std::string();
  }
  if (!getProperty(set, &device, &kBusReportedDeviceDesc, &type, buffer.data(), kPropertyBufferSize,
                   &required, 0)) {
    return std::string();
  }
  return BusDescriptionText(buffer.data(), buffer.size());
}
}  // namespace

std::string BusDescriptionText(const unsigned char* buffer, size_t size) {
  // A property that fills the whole buffer has no terminator: stop at the buffer's end.
  std::wstring text;
  for (size_t offset = 0; offset + sizeof(wchar_t) <= size; offset += sizeof(wchar_t)) {
    wchar_t unit;
    std::memcpy(&unit, buffer + offset, sizeof unit);
    if (unit == L'\0') break;
    text.push_back(unit);
  }
  std::string utf8;
  WideToUtf8(text.c_str(), utf8);
  return utf8;
}

void CollectDiskBusDescriptions(DiskBusDescriptionMap& descriptions) {
  // Systems without the unified device property model lack it.
  const GetDevicePropertyFn getProperty =
      LookUpLoadedSymbol<GetDevicePropertyFn>("Setupapi.dll", "SetupDiGetDevicePropertyW");
  const DeviceInfoSet set(SetupDiGetClassDevsA(&kDiskDriveClass, nullptr, nullptr, DIGCF_PRESENT));
  if (!set.valid()) return;

  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device;
    std::memset(&device, 0, sizeof device);
    device.cbSize = sizeof device;
    if (!SetupDiEnumDeviceInfo(set.get(), index, &device)) break;

    char instanceId[260] = {};
    if (CM_Get_Device_IDA(device.DevInst, instanceId, sizeof instanceId, 0) != CR_SUCCESS) continue;

    const std::string id(instanceId, strnlen(instanceId, sizeof instanceId));
    descriptions[id] = DiskBusDescription{id, ReadBusDescription(getProperty, set.get(), device)};
  }
}
