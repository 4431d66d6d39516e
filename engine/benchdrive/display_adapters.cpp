#include "engine/benchdrive/display_adapters.h"

#include <windows.h>
#include <d3d9.h>

#include "common/platform/com_holders.h"

namespace {
static_assert(sizeof(D3DADAPTER_IDENTIFIER9::Description) == MAX_DEVICE_IDENTIFIER_STRING,
              "the adapter identifier's name fields");

// A fixed-size name field that need not hold a terminator when it is full.
template <size_t size>
std::string NameField(const char (&field)[size]) {
  size_t n = 0;
  while (n < size && field[n] != '\0') ++n;
  return std::string(field, n);
}

class Direct3D9Adapters : public DisplayAdapters {
 public:
  Direct3D9Adapters() : d3d_(Direct3DCreate9(D3D_SDK_VERSION)) {}

  bool Available() const override { return static_cast<bool>(d3d_); }

  unsigned Count() const override { return d3d_ ? d3d_->GetAdapterCount() : 0; }

  AdapterIdentity Identify(unsigned ordinal) const override {
    D3DADAPTER_IDENTIFIER9 identifier = {};
    if (d3d_) d3d_->GetAdapterIdentifier(ordinal, 0, &identifier);
    return {NameField(identifier.Driver), NameField(identifier.Description)};
  }

  MonitorFacts Monitor(unsigned ordinal) const override {
    MonitorFacts facts;
    const HMONITOR monitor = d3d_ ? d3d_->GetAdapterMonitor(ordinal) : nullptr;
    // Cleared, so that a failed call reads as no monitor rather than as stale memory.
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return facts;
    facts.primary = info.dwFlags == MONITORINFOF_PRIMARY;
    facts.width = info.rcMonitor.right - info.rcMonitor.left;
    facts.height = info.rcMonitor.bottom - info.rcMonitor.top;
    facts.deviceName = NameField(info.szDevice);
    return facts;
  }

  int RefreshRate(const std::string& deviceName) const override {
    // An empty name would ask for the display of the calling thread, not the adapter's.
    if (deviceName.empty()) return 0;
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(deviceName.c_str(), ENUM_CURRENT_SETTINGS, &mode);
    return static_cast<int>(mode.dmDisplayFrequency);
  }

 private:
  ComPtr<IDirect3D9> d3d_;
};
}  // namespace

static_assert(sizeof(MONITORINFOEXA) == 72, "the extended monitor information read");

std::unique_ptr<DisplayAdapters> OpenDirect3D9Adapters() {
  return std::unique_ptr<DisplayAdapters>(new Direct3D9Adapters());
}
