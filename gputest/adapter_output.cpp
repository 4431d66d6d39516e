#include "gputest/adapter_output.h"

#include <d3d9.h>

const wchar_t supportContact[] = L"support@corvana.example";

std::vector<ComPtr<IDXGIAdapter>> ListDxgiAdapters() {
  std::vector<ComPtr<IDXGIAdapter>> adapters;
  ComPtr<IDXGIFactory> factory;
  if (FAILED(CreateDXGIFactory(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory.out())))) {
    return adapters;
  }
  for (UINT i = 0;; ++i) {
    ComPtr<IDXGIAdapter> adapter;
    if (factory->EnumAdapters(i, adapter.out()) == DXGI_ERROR_NOT_FOUND) break;
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

namespace {
// A fixed-size name field that need not hold a terminator when it is full.
template <size_t size>
std::wstring NameField(const wchar_t (&field)[size]) {
  size_t n = 0;
  while (n < size && field[n] != L'\0') ++n;
  return std::wstring(field, n);
}

MonitorLookup Direct3D9MonitorName(int ordinal, std::wstring* deviceName) {
  ComPtr<IDirect3D9> d3d(Direct3DCreate9(D3D_SDK_VERSION));
  if (!d3d) return MonitorLookup::NoDirect3D;
  if (ordinal < 0) return MonitorLookup::NoMonitor;
  const HMONITOR monitor = d3d->GetAdapterMonitor(static_cast<UINT>(ordinal));
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return MonitorLookup::NoMonitor;
  *deviceName = NameField(info.szDevice);
  return MonitorLookup::Found;
}

std::vector<std::vector<std::wstring>> DxgiOutputNames() {
  std::vector<std::vector<std::wstring>> names;
  for (const ComPtr<IDXGIAdapter>& adapter : ListDxgiAdapters()) {
    std::vector<std::wstring> outputs;
    for (UINT j = 0;; ++j) {
      ComPtr<IDXGIOutput> output;
      if (adapter->EnumOutputs(j, output.out()) == DXGI_ERROR_NOT_FOUND) break;
      DXGI_OUTPUT_DESC desc{};
      if (!output || FAILED(output->GetDesc(&desc))) desc = DXGI_OUTPUT_DESC{};
      outputs.push_back(NameField(desc.DeviceName));
    }
    names.push_back(std::move(outputs));
  }
  return names;
}
}  // namespace

static_assert(sizeof(MONITORINFOEXW) == 104, "the extended monitor information read");

AdapterLookupPlatform::AdapterLookupPlatform()
    : monitorOfOrdinal(Direct3D9MonitorName), outputNames(DxgiOutputNames) {}

bool FindAdapterOutput(int* adapterOverride, int* outputOverride, bool showBoxes,
                       const AdapterLookupPlatform& platform, const UserMessages& messages) {
  const std::wstring notFound = std::wstring(L"Failed to locate device. Please notify ") +
                                supportContact;
  std::wstring message;
  std::wstring monitorName;
  if (*adapterOverride == -1) {
    message = L"Adapter required";
  } else {
    switch (platform.monitorOfOrdinal(*adapterOverride, &monitorName)) {
      case MonitorLookup::NoDirect3D:
        message = L"Failed to init DX";
        break;
      case MonitorLookup::NoMonitor:
        message = L"Failed to find monitor";
        break;
      case MonitorLookup::Found: {
        const std::vector<std::vector<std::wstring>> adapters = platform.outputNames();
        message = notFound;
        for (size_t i = 0; i < adapters.size() && !message.empty(); ++i) {
          for (size_t j = 0; j < adapters[i].size(); ++j) {
            if (!monitorName.empty() && adapters[i][j] == monitorName) {
              *adapterOverride = static_cast<int>(i);
              *outputOverride = static_cast<int>(j);
              message.clear();
              break;
            }
          }
        }
        break;
      }
    }
  }
  if (message.empty()) return true;
  if (showBoxes) messages.messageBox(nullptr, message, L"", MB_ICONERROR);
  return false;
}
