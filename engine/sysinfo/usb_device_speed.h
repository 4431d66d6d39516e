#pragma once
// The USB version a device reports (bcdUSB), found by walking the hubs of every USB host
// controller, since WMI does not deliver it.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The platform calls of the walk. The walk closes every handle that open returns with CloseHandle.
struct UsbIo {
  // CreateFileA of a device name (write access, write sharing, open existing); on failure
  // INVALID_HANDLE_VALUE with the thread's last error set.
  std::function<HANDLE(const std::string& name)> open;
  // DeviceIoControl with buffer as input and output; returned gets the bytes written into it.
  std::function<BOOL(HANDLE device, DWORD code, void* buffer, DWORD size, DWORD* returned)> control;
  // The device paths of the present USB host controller interfaces; false when they cannot be
  // listed.
  std::function<bool(std::vector<std::string>& paths)> hostControllerPaths;
};

// The calls on this system.
UsbIo SystemUsbIo();

// The 16-bit little-endian value of two bytes as four lower-case hexadecimal digits.
std::string HexWord(const unsigned char* bytes);

// The bcdUSB of the first connected device whose key (vvvv_pppp, lower-case hexadecimal) equals
// key, as four lower-case hexadecimal digits, or empty when none matched. Controllers \\.\HCD0 to
// \\.\HCD9 come first, then the host controller interfaces; after a controller whose scan failed
// no further controller is scanned.
std::string FindUsbDeviceVersion(const std::string& key, const UsbIo& io = SystemUsbIo());

// Walks the root hub of one controller. Returns 0 after a complete walk, else the error of the
// failing step (ERROR_INVALID_DATA for a reply too short to read).
int ScanHostController(const UsbIo& io, HANDLE hostController, const std::string& key,
                       std::string& result);

// Visits ports 1 to portCount of a hub, depth first into connected hubs; error lines go to
// standard output.
void GetPortData(const UsbIo& io, HANDLE hub, int portCount, int hubDepth, const std::string& key,
                 std::string& result);
