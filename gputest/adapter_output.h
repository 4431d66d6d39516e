#pragma once
// The DXGI adapter and output that drive the monitor the run engine names by its Direct3D 9
// adapter ordinal.
#include <dxgi.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "gputest/framework/user_messages.h"

// The DXGI adapters in enumeration order; empty when no DXGI factory can be made.
std::vector<ComPtr<IDXGIAdapter>> ListDxgiAdapters();

enum class MonitorLookup { Found, NoDirect3D, NoMonitor };

// The platform facts the lookup decides on; the defaults ask Direct3D 9, the monitor and DXGI.
struct AdapterLookupPlatform {
  // The device name of the monitor behind a Direct3D 9 adapter ordinal.
  std::function<MonitorLookup(int ordinal, std::wstring* deviceName)> monitorOfOrdinal;
  // Per DXGI adapter, the device names of its outputs in order (empty for an unreadable one).
  std::function<std::vector<std::vector<std::wstring>>()> outputNames;
  AdapterLookupPlatform();
};

// Replaces the two overrides with the DXGI adapter and output index of the ordinal in
// *adapterOverride; true on success. Otherwise shows its message in a box (unless showBoxes is
// false), leaves both overrides as they were and returns false.
bool FindAdapterOutput(int* adapterOverride, int* outputOverride, bool showBoxes,
                       const AdapterLookupPlatform& platform = {},
                       const UserMessages& messages = {});

// The address the lookup's last message asks the user to write to.
extern const wchar_t supportContact[];
