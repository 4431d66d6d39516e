// The USB walk over a fake device tree: controllers, hubs and devices answer the walk's I/O
// controls from plain data, with the replies' lengths under the test's control.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/sysinfo/usb_device_speed.h"
#include "engine/sysinfo/usb_records.h"

namespace {
constexpr DWORD kNotGiven = 0xFFFFFFFF;

struct FakePort {
  USB_CONNECTION_STATUS status = DeviceConnected;
  std::string hub;  // the name of the hub connected here; empty for a device
  uint16_t vendor = 0;
  uint16_t product = 0;
  uint16_t bcdUsb = 0;
  bool connectionFails = false;
  DWORD connectionReturned = kNotGiven;  // bytes the connection reply claims to have written
  bool nameFails = false;
  DWORD nameReturned = kNotGiven;
};

FakePort Device(uint16_t vendor, uint16_t product, uint16_t bcdUsb) {
  FakePort port;
  port.vendor = vendor;
  port.product = product;
  port.bcdUsb = bcdUsb;
  return port;
}
FakePort Hub(const std::string& name) {
  FakePort port;
  port.hub = name;
  return port;
}
FakePort Empty() {
  FakePort port;
  port.status = NoDeviceConnected;
  return port;
}

struct FakeHub {
  std::vector<FakePort> ports;
  DWORD nodeReturned = sizeof(USB_NODE_INFORMATION);
};

struct FakeController {
  std::string rootHub;
  DWORD driverKeyError = 0;               // non-zero: the driver key probe fails with it
  ULONG rootNameLength = kNotGiven;       // ActualLength the root hub name reply claims
};

// A device tree that answers the walk's calls; every handle it gives out is a real event handle,
// so the walk's CloseHandle works on it and a leaked one stays visible.
class FakeUsbTree {
 public:
  std::map<std::string, FakeController> controllers;  // by the name the walk opens
  std::map<std::string, FakeHub> hubs;                // by hub name, opened as \\.\ + name
  std::vector<std::string> interfacePaths;
  bool listingFails = false;

  std::vector<std::string> opened;  // every name the walk asked to open
  struct Call {
    std::string node;
    DWORD code;
    DWORD size;
    ULONG connectionIndex;
  };
  std::vector<Call> calls;

  UsbIo Io() {
    UsbIo io;
    io.open = [this](const std::string& name) { return Open(name); };
    io.control = [this](HANDLE device, DWORD code, void* buffer, DWORD size, DWORD* returned) {
      return Control(device, code, static_cast<unsigned char*>(buffer), size, returned);
    };
    io.hostControllerPaths = [this](std::vector<std::string>& paths) {
      if (listingFails) return false;
      paths = interfacePaths;
      return true;
    };
    return io;
  }

  // True when every handle given out has been closed.
  bool AllClosed() const {
    for (const auto& entry : nodes_) {
      DWORD flags = 0;
      if (GetHandleInformation(entry.first, &flags)) return false;
    }
    return true;
  }

 private:
  HANDLE Open(const std::string& name) {
    opened.push_back(name);
    const bool isController = controllers.count(name) != 0;
    const bool isHub = name.rfind("\\\\.\\", 0) == 0 && hubs.count(name.substr(4)) != 0;
    if (!isController && !isHub) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    const HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    nodes_[handle] = isController ? name : name.substr(4);
    return handle;
  }

  BOOL Control(HANDLE device, DWORD code, unsigned char* buffer, DWORD size, DWORD* returned) {
    *returned = 0;
    const std::string node = nodes_.at(device);
    ULONG index = 0;
    if (size >= sizeof index) std::memcpy(&index, buffer, sizeof index);
    calls.push_back({node, code, size, index});
    if (controllers.count(node) != 0) return ControllerControl(controllers.at(node), code, buffer,
                                                               size, returned);
    return HubControl(hubs.at(node), code, index, buffer, size, returned);
  }

  // A name record; with a given returned count the name has no terminator and garbage follows it.
  static void WriteName(unsigned char* record, DWORD size, size_t header, const std::string& name,
                        ULONG actualLength, DWORD* returned, DWORD returnedGiven) {
    std::memset(record + header, 'X', size - header);
    std::wstring wide(name.begin(), name.end());
    if (returnedGiven == kNotGiven) wide.push_back(L'\0');
    const size_t bytes = std::min<size_t>(wide.size() * sizeof(wchar_t), size - header);
    std::memcpy(record + header, wide.data(), bytes);
    if (actualLength == kNotGiven) actualLength = static_cast<ULONG>(header + bytes);
    std::memcpy(record + header - sizeof(ULONG), &actualLength, sizeof actualLength);
    *returned = returnedGiven != kNotGiven ? returnedGiven : static_cast<DWORD>(header + bytes);
  }

  BOOL ControllerControl(const FakeController& controller, DWORD code, unsigned char* buffer,
                         DWORD size, DWORD* returned) {
    if (code == IOCTL_GET_HCD_DRIVERKEY_NAME) {
      if (controller.driverKeyError != 0) {
        SetLastError(controller.driverKeyError);
        return FALSE;
      }
      WriteName(buffer, size, 4, "{36fc9e60-c465-11cf-8056-444553540000}\\0000", kNotGiven,
                returned, kNotGiven);
      return TRUE;
    }
    if (code == IOCTL_USB_GET_ROOT_HUB_NAME) {
      const DWORD given = controller.rootNameLength != kNotGiven
                              ? static_cast<DWORD>(4 + controller.rootHub.size() * 2)
                              : kNotGiven;
      WriteName(buffer, size, 4, controller.rootHub, controller.rootNameLength, returned, given);
      return TRUE;
    }
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
  }

  BOOL HubControl(const FakeHub& hub, DWORD code, ULONG index, unsigned char* buffer, DWORD size,
                  DWORD* returned) {
    if (code == IOCTL_USB_GET_NODE_INFORMATION) {
      auto* node = reinterpret_cast<USB_NODE_INFORMATION*>(buffer);
      node->NodeType = UsbHub;
      node->u.HubInformation.HubDescriptor.bNumberOfPorts = static_cast<UCHAR>(hub.ports.size());
      *returned = hub.nodeReturned;
      return TRUE;
    }
    if (index < 1 || index > hub.ports.size()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    const FakePort& port = hub.ports[index - 1];
    if (code == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION) {
      if (port.connectionFails) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
      }
      auto* connection = reinterpret_cast<USB_NODE_CONNECTION_INFORMATION*>(buffer);
      connection->ConnectionStatus = port.status;
      connection->DeviceIsHub = port.hub.empty() ? FALSE : TRUE;
      connection->DeviceDescriptor.idVendor = port.vendor;
      connection->DeviceDescriptor.idProduct = port.product;
      connection->DeviceDescriptor.bcdUSB = port.bcdUsb;
      *returned = port.connectionReturned != kNotGiven ? port.connectionReturned
                                                       : kConnectionInformationReadEnd;
      return TRUE;
    }
    if (code == IOCTL_USB_GET_NODE_CONNECTION_NAME) {
      if (port.nameFails) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      WriteName(buffer, size, 8, port.hub, kNotGiven, returned, port.nameReturned);
      return TRUE;
    }
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
  }

  std::map<HANDLE, std::string> nodes_;
};

struct Walk {
  std::string result;
  std::string printed;
  bool allClosed;
};

Walk RunWalk(FakeUsbTree& tree, const std::string& key) {
  testing::internal::CaptureStdout();
  Walk walk;
  walk.result = FindUsbDeviceVersion(key, tree.Io());
  // Before the capture's end opens its file, which may take a handle value the walk closed.
  walk.allClosed = tree.AllClosed();
  walk.printed = testing::internal::GetCapturedStdout();
  return walk;
}

// HCD0 with a root hub of three ports: nothing, a flash drive, and a hub two levels deep.
FakeUsbTree SampleTree() {
  FakeUsbTree tree;
  tree.controllers["\\\\.\\HCD0"].rootHub = "USB#ROOT_HUB30#4&1";
  tree.hubs["USB#ROOT_HUB30#4&1"].ports = {Empty(), Device(0x0781, 0x5581, 0x0210),
                                           Hub("USB#VID_05E3#outer")};
  tree.hubs["USB#VID_05E3#outer"].ports = {Device(0x046d, 0xc077, 0x0200), Hub("USB#VID_05E3#inner")};
  tree.hubs["USB#VID_05E3#inner"].ports = {Empty(), Device(0x0a5c, 0x21e8, 0x0300)};
  return tree;
}

TEST(FindUsbDeviceVersion, FindsTheDeviceByItsKey) {
  struct Case {
    const char* name;
    std::string key;
    std::string version;
  };
  const Case cases[] = {
      {"a device on the root hub", "0781_5581", "0210"},
      {"a device behind one hub", "046d_c077", "0200"},
      {"a device two hubs deep", "0a5c_21e8", "0300"},
      {"upper-case digits do not match", "0A5C_21E8", ""},
      {"a key with an interface part matches nothing", "0781&pid_5581_5581&mi_00", ""},
      {"an unknown device", "1234_5678", ""},
  };
  for (const Case& c : cases) {
    FakeUsbTree tree = SampleTree();
    const Walk walk = RunWalk(tree, c.key);
    EXPECT_EQ(walk.result, c.version) << c.name;
    EXPECT_EQ(walk.printed, "") << c.name;
    EXPECT_TRUE(walk.allClosed) << c.name;
  }
}

TEST(FindUsbDeviceVersion, AsksEachControlWithItsBufferSize) {
  FakeUsbTree tree = SampleTree();
  RunWalk(tree, "0a5c_21e8");
  const std::map<DWORD, DWORD> sizes = {{IOCTL_GET_HCD_DRIVERKEY_NAME, 516},
                                        {IOCTL_USB_GET_ROOT_HUB_NAME, 516},  // also node information
                                        {IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, 420},
                                        {IOCTL_USB_GET_NODE_CONNECTION_NAME, 520}};
  for (const auto& call : tree.calls) {
    const bool toController = call.node == "\\\\.\\HCD0";
    const DWORD expected =
        call.code == IOCTL_USB_GET_NODE_INFORMATION && !toController ? 76 : sizes.at(call.code);
    EXPECT_EQ(call.size, expected) << call.node << " " << std::hex << call.code;
  }
  // Depth first in port order: the root hub's ports 1 to 3, then the outer hub's 1 and 2, then
  // the inner hub's 1 and 2.
  std::vector<std::string> visits;
  for (const auto& call : tree.calls) {
    if (call.code == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION) {
      visits.push_back(call.node.substr(call.node.rfind('#') + 1) + ":" +
                       std::to_string(call.connectionIndex));
    }
  }
  EXPECT_EQ(visits, (std::vector<std::string>{"4&1:1", "4&1:2", "4&1:3", "outer:1", "outer:2",
                                              "inner:1", "inner:2"}));
}

TEST(FindUsbDeviceVersion, APortThatFailsPrintsItsLineOnceAndTheWalkGoesOn) {
  struct Case {
    const char* name;
    FakePort failing;
    std::string line;
  };
  FakePort connectionFails = Device(0x0781, 0x5581, 0x0210);
  connectionFails.connectionFails = true;
  FakePort connectionShort = Device(0x0781, 0x5581, 0x0210);
  connectionShort.connectionReturned = kConnectionInformationReadEnd - 1;
  FakePort nameFails = Hub("USB#hub");
  nameFails.nameFails = true;
  FakePort nameShorterThanHeader = Hub("USB#hub");
  nameShorterThanHeader.nameReturned = 6;
  FakePort unknownHub = Hub("USB#gone");
  FakePort hubNodeShort = Hub("USB#short");
  const Case cases[] = {
      {"connection information fails", connectionFails,
       " *** ERROR *** Node connection information not returned\n"},
      {"a connection reply shorter than the fields read", connectionShort,
       " *** ERROR *** Node connection information not returned\n"},
      {"the connected hub's name fails", nameFails,
       " *** ERROR *** Node connection name not returned\n"},
      {"a name reply shorter than its header", nameShorterThanHeader,
       " *** ERROR *** Node information not returned\n"},
      {"the connected hub does not open", unknownHub,
       " *** ERROR *** Node information not returned\n"},
      {"the connected hub's node reply lacks the port count", hubNodeShort,
       " *** ERROR *** Node information not returned\n"},
  };
  for (const Case& c : cases) {
    FakeUsbTree tree;
    tree.controllers["\\\\.\\HCD0"].rootHub = "ROOT";
    tree.hubs["ROOT"].ports = {c.failing, Device(0x0951, 0x1666, 0x0310)};
    tree.hubs["USB#hub"].ports = {Empty()};
    tree.hubs["USB#short"].ports = {Empty()};
    tree.hubs["USB#short"].nodeReturned = kNodeInformationReadEnd - 1;
    const Walk walk = RunWalk(tree, "0951_1666");
    EXPECT_EQ(walk.printed, c.line) << c.name;
    EXPECT_EQ(walk.result, "0310") << c.name;
    EXPECT_TRUE(walk.allClosed) << c.name;
  }
}

TEST(FindUsbDeviceVersion, ReadsANameOnlyWithinTheBytesReturned) {
  // The root hub name's record claims far more than the reply holds, and garbage lies right
  // behind the reply, so a name read past the reply would not open.
  FakeUsbTree tree;
  tree.controllers["\\\\.\\HCD0"].rootHub = "ROOT";
  tree.controllers["\\\\.\\HCD0"].rootNameLength = 0xFFFF;
  tree.hubs["ROOT"].ports = {Device(0x0781, 0x5581, 0x0210)};
  EXPECT_EQ(RunWalk(tree, "0781_5581").result, "0210");
  EXPECT_EQ(tree.opened, (std::vector<std::string>{"\\\\.\\HCD0", "\\\\.\\ROOT"}));
}

TEST(FindUsbDeviceVersion, AHubPathKeeps252BytesOfTheName) {
  FakeUsbTree tree;
  const std::string longName(300, 'h');
  tree.controllers["\\\\.\\HCD0"].rootHub = longName;
  tree.hubs[longName.substr(0, 252)].ports = {Device(0x0781, 0x5581, 0x0210)};
  EXPECT_EQ(RunWalk(tree, "0781_5581").result, "0210");
  EXPECT_EQ(tree.opened.at(1), "\\\\.\\" + longName.substr(0, 252));
}

TEST(FindUsbDeviceVersion, ControllersInOrderUntilAScanFails) {
  struct Case {
    const char* name;
    std::vector<std::string> controllers;  // each with its own root hub holding one device
    std::string device;                    // the controller whose root hub holds the device
    std::string failing;                   // a controller whose scan fails
    DWORD driverKeyError;
    std::string version;
  };
  const Case cases[] = {
      {"HCD3 after HCD0 to HCD2 that do not open", {"\\\\.\\HCD3"}, "\\\\.\\HCD3", "", 0, "0200"},
      {"an interface path after the HCD names", {"\\\\.\\HCD0", "\\\\?\\pci#hc"}, "\\\\?\\pci#hc",
       "", 0, "0200"},
      {"a failed driver key probe stops the search", {"\\\\.\\HCD1", "\\\\.\\HCD2"}, "\\\\.\\HCD2",
       "\\\\.\\HCD1", ERROR_ACCESS_DENIED, ""},
      {"a failed scan also stops the interface paths", {"\\\\.\\HCD1", "\\\\?\\pci#hc"},
       "\\\\?\\pci#hc", "\\\\.\\HCD1", ERROR_ACCESS_DENIED, ""},
      {"a root hub node reply without the port count fails the scan",
       {"\\\\.\\HCD1", "\\\\.\\HCD2"}, "\\\\.\\HCD2", "\\\\.\\HCD1", 0, ""},
  };
  for (const Case& c : cases) {
    FakeUsbTree tree;
    for (const std::string& name : c.controllers) {
      const std::string hub = "ROOT" + std::to_string(tree.hubs.size());
      tree.controllers[name].rootHub = hub;
      tree.hubs[hub].ports = {name == c.device ? Device(0x0781, 0x5581, 0x0200) : Empty()};
      if (name.rfind("\\\\?\\", 0) == 0) tree.interfacePaths.push_back(name);
      if (name == c.failing) {
        tree.controllers[name].driverKeyError = c.driverKeyError;
        if (c.driverKeyError == 0) tree.hubs[hub].nodeReturned = kNodeInformationReadEnd - 1;
      }
    }
    const Walk walk = RunWalk(tree, "0781_5581");
    EXPECT_EQ(walk.result, c.version) << c.name;
    EXPECT_EQ(walk.printed, "") << c.name;
    EXPECT_TRUE(walk.allClosed) << c.name;
    if (!c.failing.empty()) {
      // Every controller is still opened (and closed), but none is asked after the failure.
      for (const std::string& name : c.controllers) {
        EXPECT_NE(std::find(tree.opened.begin(), tree.opened.end(), name), tree.opened.end())
            << c.name << " " << name;
      }
      for (const auto& call : tree.calls) EXPECT_NE(call.node, c.device) << c.name;
    }
  }
}

TEST(ScanHostController, ReturnsTheErrorOfTheFailingStep) {
  struct Case {
    const char* name;
    DWORD driverKeyError;
    bool rootHubOpens;
    DWORD nodeReturned;
    int expected;
  };
  const Case cases[] = {
      {"a complete scan", 0, true, sizeof(USB_NODE_INFORMATION), 0},
      {"the driver key probe fails", ERROR_ACCESS_DENIED, true, sizeof(USB_NODE_INFORMATION),
       ERROR_ACCESS_DENIED},
      {"the root hub does not open", 0, false, sizeof(USB_NODE_INFORMATION), ERROR_FILE_NOT_FOUND},
      {"the node reply lacks the port count", 0, true, kNodeInformationReadEnd - 1,
       ERROR_INVALID_DATA},
  };
  for (const Case& c : cases) {
    FakeUsbTree tree;
    tree.controllers["HC"].rootHub = "ROOT";
    tree.controllers["HC"].driverKeyError = c.driverKeyError;
    if (c.rootHubOpens) {
      tree.hubs["ROOT"].ports = {Empty()};
      tree.hubs["ROOT"].nodeReturned = c.nodeReturned;
    }
    const UsbIo io = tree.Io();
    std::string result;
    {
      const HANDLE controller = io.open("HC");
      EXPECT_EQ(ScanHostController(io, controller, "0781_5581", result), c.expected) << c.name;
      CloseHandle(controller);
    }
    EXPECT_EQ(result, "") << c.name;
    EXPECT_TRUE(tree.AllClosed()) << c.name;
  }
}

TEST(FindUsbDeviceVersion, AFailedInterfaceListingGivesAnEmptyResult) {
  FakeUsbTree tree;
  tree.listingFails = true;
  const Walk walk = RunWalk(tree, "0781_5581");
  EXPECT_EQ(walk.result, "");
  EXPECT_EQ(walk.printed, "");
}

TEST(HexWord, FourLowerCaseDigitsOfALittleEndianWord) {
  const unsigned char bytes[][2] = {{0x10, 0x02}, {0xe8, 0x21}, {0x05, 0x00}};
  EXPECT_EQ(HexWord(bytes[0]), "0210");
  EXPECT_EQ(HexWord(bytes[1]), "21e8");
  EXPECT_EQ(HexWord(bytes[2]), "0005");
}

// Under Wine there is no USB host controller: the HCD names do not open and the interface class
// lists nothing.
TEST(FindUsbDeviceVersionOnThePlatform, FindsNothingAndPrintsNothing) {
  std::vector<std::string> paths;
  SystemUsbIo().hostControllerPaths(paths);
  EXPECT_EQ(paths, std::vector<std::string>());
  testing::internal::CaptureStdout();
  const std::string result = FindUsbDeviceVersion("0781_5581");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(result, "");
}
}  // namespace
