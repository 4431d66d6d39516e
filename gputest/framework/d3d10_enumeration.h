#pragma once
// The framework's Direct3D 10 enumeration, built once for the one adapter and output the run
// names: the adapter entry, its hardware device entry, its output with the one mode closest to
// 1280 x 720, and the device combinations the device search chooses from.
#include <d3d10.h>
#include <dxgi.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "gputest/framework/enumeration_source.h"
#include "gputest/framework/trace_sink.h"

// Whether the application accepts a combination (adapter ordinal, output, driver type, back-buffer
// format, windowed).
using IsD3D10DeviceAcceptableCallback = bool (*)(UINT adapterOrdinal, UINT output,
                                                D3D10_DRIVER_TYPE driverType,
                                                DXGI_FORMAT backBufferFormat, bool windowed,
                                                void* context);

struct CD3D10EnumOutputInfo {
  UINT Output = 0;
  DXGI_OUTPUT_DESC Desc{};
  ComPtr<IDXGIOutput> m_pOutput;
  std::vector<DXGI_MODE_DESC> displayModeList;
};

struct CD3D10EnumDeviceInfo {
  UINT AdapterOrdinal = 0;
  D3D10_DRIVER_TYPE DeviceType = D3D10_DRIVER_TYPE_HARDWARE;
};

struct CD3D10EnumAdapterInfo;

struct CD3D10EnumDeviceSettingsCombo {
  UINT AdapterOrdinal = 0;
  D3D10_DRIVER_TYPE DeviceType = D3D10_DRIVER_TYPE_HARDWARE;
  DXGI_FORMAT BackBufferFormat = DXGI_FORMAT_UNKNOWN;
  bool Windowed = false;
  UINT Output = 0;
  std::vector<UINT> multiSampleCountList;  // counts the format supports
  std::vector<UINT> multiSampleQualityList;  // their numbers of quality levels
  const CD3D10EnumAdapterInfo* pAdapterInfo = nullptr;
  const CD3D10EnumDeviceInfo* pDeviceInfo = nullptr;
  const CD3D10EnumOutputInfo* pOutputInfo = nullptr;  // none for the entry without an adapter
};

struct CD3D10EnumAdapterInfo {
  UINT AdapterOrdinal = 0;
  DXGI_ADAPTER_DESC AdapterDesc{};
  ComPtr<IDXGIAdapter> m_pAdapter;  // none for the entry without an adapter
  std::wstring szUniqueDescription;
  std::vector<std::unique_ptr<CD3D10EnumOutputInfo>> outputInfoList;
  std::vector<std::unique_ptr<CD3D10EnumDeviceInfo>> deviceInfoList;
  std::vector<std::unique_ptr<CD3D10EnumDeviceSettingsCombo>> deviceSettingsComboList;
};

class CD3D10Enumeration {
 public:
  // Builds the list for the requested adapter and output only (see the source file).
  HRESULT Enumerate(IsD3D10DeviceAcceptableCallback isDeviceAcceptable, void* context,
                    int requestedAdapter, int requestedOutput);
  // Adds the requested output with its one mode to the adapter entry; S_OK also without it.
  HRESULT EnumerateOutputs(CD3D10EnumAdapterInfo* adapterInfo, int requestedOutput);

  bool HasEnumerated() const { return m_bHasEnumerated; }
  const std::vector<std::unique_ptr<CD3D10EnumAdapterInfo>>& GetAdapterInfoList() const {
    return m_AdapterInfoList;
  }
  const CD3D10EnumAdapterInfo* GetAdapterInfo(UINT adapterOrdinal) const;

  CD3D10Enumeration(EnumerationSource source, TraceSink trace)
      : source_(std::move(source)), trace_(std::move(trace)) {}

 private:
  HRESULT EnumerateDevices(CD3D10EnumAdapterInfo* adapterInfo, AdapterRef adapter);
  HRESULT EnumerateDeviceCombos(CD3D10EnumAdapterInfo* adapterInfo, AdapterRef adapter);
  // Without output information, for the entry without an adapter.
  HRESULT EnumerateDeviceCombosNoAdapter(CD3D10EnumAdapterInfo* adapterInfo);
  // The combinations of every device entry with the output (or none), format and windowed state.
  HRESULT AddDeviceCombos(CD3D10EnumAdapterInfo* adapterInfo, AdapterRef adapter,
                          const CD3D10EnumOutputInfo* output);
  void BuildMultiSampleQualityList(AdapterRef adapter, CD3D10EnumDeviceSettingsCombo* combo);
  void Trace(int line, const char* function, const char* message);

  EnumerationSource source_;
  TraceSink trace_;
  bool m_bHasEnumerated = false;
  IsD3D10DeviceAcceptableCallback m_IsD3D10DeviceAcceptableFunc = nullptr;
  void* m_pIsD3D10DeviceAcceptableFuncUserContext = nullptr;
  std::vector<std::unique_ptr<CD3D10EnumAdapterInfo>> m_AdapterInfoList;
};

// The back-buffer formats the combinations are built from, in the order they are tried.
extern const DXGI_FORMAT enumerationBackBufferFormats[4];
