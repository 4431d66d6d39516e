#include "engine/sysinfo/usb_device_speed.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/platform/scoped_handle.h"
#include "engine/sysinfo/usb_records.h"
#include "engine/sysinfo/wmi_text.h"

namespace {
// Hub paths keep at most this many bytes of the hub's name.
constexpr size_t kHubNameLimit = 252;

// The hub name of a name record: at most ActualLength bytes, and never more than the reply holds
// after the record's header, up to the first zero unit, in the ANSI code page.
std::string HubNameInReply(const unsigned char* reply, DWORD returned, size_t headerSize) {
  if (returned < headerSize) return std::string();
  ULONG actualLength = 0;
  std::memcpy(&actualLength, reply + headerSize - sizeof actualLength, sizeof actualLength);
  const size_t bytes = std::min<size_t>(actualLength, returned - headerSize);
  std::wstring name;
  for (size_t offset = 0; offset + sizeof(wchar_t) <= bytes; offset += sizeof(wchar_t)) {
    wchar_t unit;
    std::memcpy(&unit, reply + headerSize + offset, sizeof unit);
    if (unit == L'\0') break;
    name.push_back(unit);
  }
  std::string ansi = WideToMultiByte(name, CP_ACP);
  if (ansi.size() > kHubNameLimit) ansi.resize(kHubNameLimit);
  return "\\\\.\\" + ansi;
}

// IOCTL_USB_GET_NODE_INFORMATION; false when it fails or the reply lacks the port count.
bool ReadPortCount(const UsbIo& io, HANDLE hub, int& portCount) {
  USB_NODE_INFORMATION node;
  std::memset(&node, 0, sizeof node);
  DWORD returned = 0;
  if (!io.control(hub, IOCTL_USB_GET_NODE_INFORMATION, &node, sizeof node, &returned)) {
    return false;
  }
  if (returned < kNodeInformationReadEnd) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  portCount = node.u.HubInformation.HubDescriptor.bNumberOfPorts;
  return true;
}

// Scans the controller when no scan has failed yet; keeps the first failure.
void ScanUnlessFailed(const UsbIo& io, const std::string& name, const std::string& key,
                      int& scanError, std::string& result) {
  const ScopedHandle controller(io.open(name));
  if (controller.valid() && scanError == 0) {
    scanError = ScanHostController(io, controller.get(), key, result);
  }
}
}  // namespace

std::string HexWord(const unsigned char* bytes) {
  char text[8];
  std::snprintf(text, sizeof text, "%4.4x", static_cast<unsigned>(bytes[0] | (bytes[1] << 8)));
  return text;
}

void GetPortData(const UsbIo& io, HANDLE hub, int portCount, int hubDepth, const std::string& key,
                 std::string& result) {
  for (int port = 1; port <= portCount; ++port) {
    std::vector<unsigned char> buffer(kConnectionInformationBufferSize, 0);
    auto* connection = reinterpret_cast<USB_NODE_CONNECTION_INFORMATION*>(buffer.data());
    connection->ConnectionIndex = static_cast<ULONG>(port);
    DWORD returned = 0;
    if (!io.control(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, buffer.data(),
                    kConnectionInformationBufferSize, &returned) ||
        returned < kConnectionInformationReadEnd) {
      std::printf(" *** ERROR *** Node connection information not returned\n");
      continue;
    }
    if (connection->ConnectionStatus != DeviceConnected) continue;

    const unsigned char* descriptor = buffer.data() +
                                      offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor);
    if (connection->DeviceIsHub) {
      std::vector<unsigned char> name(kConnectionNameBufferSize, 0);
      auto* nameRecord = reinterpret_cast<USB_NODE_CONNECTION_NAME*>(name.data());
      nameRecord->ConnectionIndex = static_cast<ULONG>(port);
      DWORD nameReturned = 0;
      if (!io.control(hub, IOCTL_USB_GET_NODE_CONNECTION_NAME, name.data(),
                      kConnectionNameBufferSize, &nameReturned)) {
        std::printf(" *** ERROR *** Node connection name not returned\n");
        continue;
      }
      const ScopedHandle connectedHub(io.open(HubNameInReply(
          name.data(), nameReturned, offsetof(USB_NODE_CONNECTION_NAME, NodeName))));
      int connectedPorts = 0;
      if (!connectedHub.valid() || !ReadPortCount(io, connectedHub.get(), connectedPorts)) {
        std::printf(" *** ERROR *** Node information not returned\n");
        continue;
      }
      GetPortData(io, connectedHub.get(), connectedPorts, hubDepth + 1, key, result);
      if (!result.empty()) return;
      continue;
    }

    const std::string deviceKey =
        HexWord(descriptor + offsetof(USB_DEVICE_DESCRIPTOR, idVendor)) + "_" +
        HexWord(descriptor + offsetof(USB_DEVICE_DESCRIPTOR, idProduct));
    if (deviceKey == key) {
      result = HexWord(descriptor + offsetof(USB_DEVICE_DESCRIPTOR, bcdUSB));
      return;
    }
  }
}

int ScanHostController(const UsbIo& io, HANDLE hostController, const std::string& key,
                       std::string& result) {
  std::vector<unsigned char> buffer(kHcdNameBufferSize, 0);
  DWORD returned = 0;
  if (!io.control(hostController, IOCTL_GET_HCD_DRIVERKEY_NAME, buffer.data(), kHcdNameBufferSize,
                  &returned)) {
    return static_cast<int>(GetLastError());
  }
  // A failed root hub query returns no bytes, so no name is read and the open below fails.
  returned = 0;
  io.control(hostController, IOCTL_USB_GET_ROOT_HUB_NAME, buffer.data(), kHcdNameBufferSize,
             &returned);

  const ScopedHandle rootHub(
      io.open(HubNameInReply(buffer.data(), returned, offsetof(USB_ROOT_HUB_NAME, RootHubName))));
  if (!rootHub.valid()) return static_cast<int>(GetLastError());
  int portCount = 0;
  if (!ReadPortCount(io, rootHub.get(), portCount)) return static_cast<int>(GetLastError());
  GetPortData(io, rootHub.get(), portCount, 0, key, result);
  return 0;
}

std::string FindUsbDeviceVersion(const std::string& key, const UsbIo& io) {
  std::string result;
  int scanError = 0;
  for (char digit = '0'; digit <= '9'; ++digit) {
    ScanUnlessFailed(io, std::string("\\\\.\\HCD") + digit, key, scanError, result);
    if (!result.empty()) return result;
  }

  std::vector<std::string> paths;
  if (!io.hostControllerPaths(paths)) return result;
  for (const std::string& path : paths) {
    ScanUnlessFailed(io, path, key, scanError, result);
    if (!result.empty()) break;
  }
  return result;
}
