#include "gputest/framework/d3d10_enumeration.h"

#include <new>
#include <utility>

const DXGI_FORMAT enumerationBackBufferFormats[4] = {
    DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, DXGI_FORMAT_R8G8B8A8_UNORM,
    DXGI_FORMAT_R16G16B16A16_FLOAT, DXGI_FORMAT_R10G10B10A2_UNORM};

namespace {
const char enumerationSourceName[] = "DXUTenum.cpp";
const char enumerateFunction[] = "CD3D10Enumeration::Enumerate";
const char enumerateOutputsFunction[] = "CD3D10Enumeration::EnumerateOutputs";

// The one mode the run's output offers: the one closest to 1280 x 720 in the sRGB format.
const DXGI_MODE_DESC requestedMode = {1280, 720, {0, 0}, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB,
                                      DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                                      DXGI_MODE_SCALING_UNSPECIFIED};

// A zeroed entry, or none when memory is out.
template <typename Entry>
std::unique_ptr<Entry> NewEntry() {
  return std::unique_ptr<Entry>(new (std::nothrow) Entry());
}

template <typename Entry>
HRESULT Append(std::vector<std::unique_ptr<Entry>>& list, std::unique_ptr<Entry> entry) {
  try {
    list.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

bool HasModeOfFormat(const CD3D10EnumOutputInfo& output, DXGI_FORMAT format) {
  for (const DXGI_MODE_DESC& mode : output.displayModeList) {
    if (mode.Format == format) return true;
  }
  return false;
}
}  // namespace

void CD3D10Enumeration::Trace(int line, const char* function, const char* message) {
  trace_(enumerationSourceName, line, function, message);
}

const CD3D10EnumAdapterInfo* CD3D10Enumeration::GetAdapterInfo(UINT adapterOrdinal) const {
  for (const auto& info : m_AdapterInfoList) {
    if (info->AdapterOrdinal == adapterOrdinal) return info.get();
  }
  return nullptr;
}

HRESULT CD3D10Enumeration::Enumerate(IsD3D10DeviceAcceptableCallback isDeviceAcceptable,
                                     void* context, int requestedAdapter, int requestedOutput) {
  if (!source_.hasFactory()) return E_FAIL;
  // Marked first, so that a build that finds nothing is not repeated.
  m_bHasEnumerated = true;
  m_IsD3D10DeviceAcceptableFunc = isDeviceAcceptable;
  m_pIsD3D10DeviceAcceptableFuncUserContext = context;
  m_AdapterInfoList.clear();

  // Only the requested adapter is examined; the indices after it are asked for (and passed over)
  // while its entry could not be made, until the factory has no more. -1 asks for an index no
  // factory has.
  for (UINT index = static_cast<UINT>(requestedAdapter);; ++index) {
    ComPtr<IDXGIAdapter> adapter;
    if (FAILED(source_.enumAdapter(index, &adapter))) break;
    if (index != static_cast<UINT>(requestedAdapter)) continue;

    std::unique_ptr<CD3D10EnumAdapterInfo> info = NewEntry<CD3D10EnumAdapterInfo>();
    if (!info) continue;
    info->AdapterOrdinal = index;
    const AdapterRef ref{static_cast<int>(index), adapter.get()};
    if (FAILED(source_.describeAdapter(ref, &info->AdapterDesc))) continue;
    info->m_pAdapter = std::move(adapter);
    if (FAILED(EnumerateDevices(info.get(), ref))) continue;
    if (FAILED(EnumerateOutputs(info.get(), requestedOutput)) || info->outputInfoList.empty()) {
      continue;
    }
    if (FAILED(EnumerateDeviceCombos(info.get(), ref))) continue;
    const HRESULT hr = Append(m_AdapterInfoList, std::move(info));
    if (FAILED(hr)) return hr;
    break;
  }

  if (m_AdapterInfoList.empty()) {
    Trace(2497, enumerateFunction, "Found no adapeter, testing for WARP and REF");
    std::unique_ptr<CD3D10EnumAdapterInfo> info = NewEntry<CD3D10EnumAdapterInfo>();
    if (!info) return E_OUTOFMEMORY;
    EnumerateDevices(info.get(), AdapterRef{-1, nullptr});
    if (SUCCEEDED(EnumerateDeviceCombosNoAdapter(info.get()))) {
      const HRESULT hr = Append(m_AdapterInfoList, std::move(info));
      if (FAILED(hr)) return hr;
    }
  }

  // Descriptions that occur twice get the ordinal behind them, so every entry can be told apart.
  for (const auto& info : m_AdapterInfoList) {
    info->szUniqueDescription = info->AdapterDesc.Description;
    for (const auto& other : m_AdapterInfoList) {
      if (other != info &&
          wcscmp(other->AdapterDesc.Description, info->AdapterDesc.Description) == 0) {
        info->szUniqueDescription += L" (#" + std::to_wstring(info->AdapterOrdinal) + L")";
        break;
      }
    }
  }
  return S_OK;
}

HRESULT CD3D10Enumeration::EnumerateOutputs(CD3D10EnumAdapterInfo* adapterInfo,
                                            int requestedOutput) {
  const AdapterRef adapter{static_cast<int>(adapterInfo->AdapterOrdinal),
                           adapterInfo->m_pAdapter.get()};
  for (UINT i = static_cast<UINT>(requestedOutput);; ++i) {
    Trace(2572, enumerateOutputsFunction, "ENUM OUTPUTS GO");
    ComPtr<IDXGIOutput> output;
    const HRESULT hr = source_.enumOutput(adapter, i, &output);
    if (hr == DXGI_ERROR_NOT_FOUND) {
      Trace(2576, enumerateOutputsFunction, "ENUM OUTPUTS DONE ALL");
      return S_OK;
    }
    if (FAILED(hr)) return hr;
    // Once the requested output could not be used, the later ones are only counted off.
    if (i != static_cast<UINT>(requestedOutput)) continue;

    Trace(2589, enumerateOutputsFunction, "ENUM OUTPUTS DONE");
    std::unique_ptr<CD3D10EnumOutputInfo> info = NewEntry<CD3D10EnumOutputInfo>();
    if (!info) return E_OUTOFMEMORY;
    const OutputRef ref{i, output.get()};
    if (FAILED(source_.describeOutput(adapter, ref, &info->Desc))) continue;
    info->Output = i;
    info->m_pOutput = std::move(output);

    DXGI_MODE_DESC closest{};
    if (FAILED(source_.closestMode(adapter, ref, requestedMode, &closest))) continue;
    try {
      info->displayModeList.assign(1, closest);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return Append(adapterInfo->outputInfoList, std::move(info));
  }
}

HRESULT CD3D10Enumeration::EnumerateDevices(CD3D10EnumAdapterInfo* adapterInfo,
                                            AdapterRef adapter) {
  // The run is measured on the hardware device only.
  const D3D10_DRIVER_TYPE driverTypes[] = {D3D10_DRIVER_TYPE_HARDWARE};
  for (const D3D10_DRIVER_TYPE driverType : driverTypes) {
    if (FAILED(source_.testDevice(adapter, driverType))) continue;
    std::unique_ptr<CD3D10EnumDeviceInfo> info = NewEntry<CD3D10EnumDeviceInfo>();
    if (!info) return E_OUTOFMEMORY;
    info->AdapterOrdinal = adapterInfo->AdapterOrdinal;
    info->DeviceType = driverType;
    const HRESULT hr = Append(adapterInfo->deviceInfoList, std::move(info));
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT CD3D10Enumeration::EnumerateDeviceCombos(CD3D10EnumAdapterInfo* adapterInfo,
                                                 AdapterRef adapter) {
  for (const auto& output : adapterInfo->outputInfoList) {
    // Only formats the output shows a mode in; so the one mode decides the format.
    const HRESULT hr = AddDeviceCombos(adapterInfo, adapter, output.get());
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT CD3D10Enumeration::EnumerateDeviceCombosNoAdapter(CD3D10EnumAdapterInfo* adapterInfo) {
  return AddDeviceCombos(adapterInfo, AdapterRef{-1, nullptr}, nullptr);
}

HRESULT CD3D10Enumeration::AddDeviceCombos(CD3D10EnumAdapterInfo* adapterInfo, AdapterRef adapter,
                                           const CD3D10EnumOutputInfo* output) {
  for (const auto& device : adapterInfo->deviceInfoList) {
    for (const DXGI_FORMAT format : enumerationBackBufferFormats) {
      for (const bool windowed : {false, true}) {
        if (output != nullptr && !HasModeOfFormat(*output, format)) continue;
        const UINT outputIndex = output != nullptr ? output->Output : 0;
        if (m_IsD3D10DeviceAcceptableFunc != nullptr &&
            !m_IsD3D10DeviceAcceptableFunc(adapterInfo->AdapterOrdinal, outputIndex,
                                           device->DeviceType, format, windowed,
                                           m_pIsD3D10DeviceAcceptableFuncUserContext)) {
          continue;
        }
        std::unique_ptr<CD3D10EnumDeviceSettingsCombo> combo =
            NewEntry<CD3D10EnumDeviceSettingsCombo>();
        if (!combo) return E_OUTOFMEMORY;
        combo->AdapterOrdinal = adapterInfo->AdapterOrdinal;
        combo->DeviceType = device->DeviceType;
        combo->BackBufferFormat = format;
        combo->Windowed = windowed;
        combo->Output = outputIndex;
        combo->pAdapterInfo = adapterInfo;
        combo->pDeviceInfo = device.get();
        combo->pOutputInfo = output;
        BuildMultiSampleQualityList(adapter, combo.get());
        const HRESULT hr = Append(adapterInfo->deviceSettingsComboList, std::move(combo));
        if (FAILED(hr)) return hr;
      }
    }
  }
  return S_OK;
}

void CD3D10Enumeration::BuildMultiSampleQualityList(AdapterRef adapter,
                                                    CD3D10EnumDeviceSettingsCombo* combo) {
  const std::vector<UINT> levels =
      source_.multisampleQualities(adapter, combo->DeviceType, combo->BackBufferFormat);
  for (size_t i = 0; i < levels.size(); ++i) {
    if (levels[i] == 0) continue;
    combo->multiSampleCountList.push_back(static_cast<UINT>(i + 1));
    combo->multiSampleQualityList.push_back(levels[i]);
  }
}
