#include "gputest/framework/enumeration_source.h"

#include <memory>

#include "common/platform/loaded_library.h"

namespace {
constexpr UINT direct3D10SdkVersion = 29;
constexpr UINT highestSampleCount = 32;

using CreateDevice = HRESULT(WINAPI*)(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT, UINT,
                                      ID3D10Device**);

// The Direct3D 10 runtime, loaded on the first device the enumeration makes.
struct Direct3D10Runtime {
  LoadedLibrary module;
  CreateDevice create = nullptr;
  HRESULT Create(IDXGIAdapter* adapter, D3D10_DRIVER_TYPE driverType, ComPtr<ID3D10Device>* out) {
    if (!module) {
      module = LoadedLibrary(L"d3d10.dll");
      create = module.Symbol<CreateDevice>("D3D10CreateDevice");
    }
    if (create == nullptr) return E_FAIL;
    return create(adapter, driverType, nullptr, 0, direct3D10SdkVersion, out->out());
  }
};
}  // namespace

EnumerationSource DxgiEnumerationSource(IDXGIFactory* factory) {
  auto runtime = std::make_shared<Direct3D10Runtime>();
  EnumerationSource source;
  source.hasFactory = [factory] { return factory != nullptr; };
  source.enumAdapter = [factory](UINT index, ComPtr<IDXGIAdapter>* adapter) {
    return factory->EnumAdapters(index, adapter->out());
  };
  source.describeAdapter = [](AdapterRef adapter, DXGI_ADAPTER_DESC* desc) {
    return adapter.adapter->GetDesc(desc);
  };
  source.testDevice = [runtime](AdapterRef adapter, D3D10_DRIVER_TYPE driverType) {
    ComPtr<ID3D10Device> device;
    return runtime->Create(adapter.adapter, driverType, &device);
  };
  source.enumOutput = [](AdapterRef adapter, UINT index, ComPtr<IDXGIOutput>* output) {
    return adapter.adapter->EnumOutputs(index, output->out());
  };
  source.describeOutput = [](AdapterRef, OutputRef output, DXGI_OUTPUT_DESC* desc) {
    return output.output->GetDesc(desc);
  };
  source.closestMode = [runtime](AdapterRef adapter, OutputRef output, const DXGI_MODE_DESC& wish,
                                 DXGI_MODE_DESC* closest) {
    ComPtr<ID3D10Device> device;
    const HRESULT hr = runtime->Create(adapter.adapter, D3D10_DRIVER_TYPE_HARDWARE, &device);
    if (FAILED(hr)) return hr;
    return output.output->FindClosestMatchingMode(&wish, closest, device.get());
  };
  source.multisampleQualities = [runtime](AdapterRef adapter, D3D10_DRIVER_TYPE driverType,
                                          DXGI_FORMAT format) {
    std::vector<UINT> levels;
    ComPtr<ID3D10Device> device;
    if (FAILED(runtime->Create(adapter.adapter, driverType, &device))) return levels;
    for (UINT count = 1; count <= highestSampleCount; ++count) {
      UINT quality = 0;
      if (FAILED(device->CheckMultisampleQualityLevels(format, count, &quality))) quality = 0;
      levels.push_back(quality);
    }
    return levels;
  };
  return source;
}
