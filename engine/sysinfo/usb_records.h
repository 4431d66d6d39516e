#pragma once
// The USB driver stack's I/O control records as the walk reads them. They are byte-packed, so
// both build flavors share one layout; the checks pin the sizes and the offsets that are read.
#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>

#include <cstddef>

static_assert(IOCTL_GET_HCD_DRIVERKEY_NAME == 0x220424, "driver key name control");
static_assert(IOCTL_USB_GET_ROOT_HUB_NAME == 0x220408, "root hub name control");
static_assert(IOCTL_USB_GET_NODE_INFORMATION == 0x220408, "node information control");
static_assert(IOCTL_USB_GET_NODE_CONNECTION_INFORMATION == 0x22040C, "connection control");
static_assert(IOCTL_USB_GET_NODE_CONNECTION_NAME == 0x220414, "connection name control");

static_assert(sizeof(USB_NODE_INFORMATION) == 76, "node information record");
static_assert(offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts) == 6,
              "port count");

static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, PipeList) == 35, "connection record");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.bcdUSB) == 6, "bcdUSB");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idVendor) == 12,
              "idVendor");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idProduct) == 14,
              "idProduct");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceIsHub) == 24, "DeviceIsHub");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, ConnectionStatus) == 31,
              "ConnectionStatus");
static_assert(sizeof(USB_CONNECTION_STATUS) == 4, "connection status");

static_assert(offsetof(USB_ROOT_HUB_NAME, RootHubName) == 4, "root hub name header");
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ActualLength) == 4, "connection name length");
static_assert(offsetof(USB_NODE_CONNECTION_NAME, NodeName) == 8, "connection name header");

// Buffer sizes of the controls: a name record with room for a long name, and the connection
// record with room for 35 pipes.
constexpr DWORD kHcdNameBufferSize = 516;
constexpr DWORD kConnectionNameBufferSize = 520;
constexpr DWORD kConnectionInformationBufferSize = 420;

// A reply must reach the end of the last field read from it.
constexpr DWORD kNodeInformationReadEnd =
    offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts) + 1;
constexpr DWORD kConnectionInformationReadEnd =
    offsetof(USB_NODE_CONNECTION_INFORMATION, ConnectionStatus) + sizeof(USB_CONNECTION_STATUS);
