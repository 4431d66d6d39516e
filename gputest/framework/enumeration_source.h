#pragma once
// What the device enumeration asks the system: the DXGI adapters and outputs, whether a device can
// be made, the mode closest to a wish and the multisample levels. The real source asks DXGI and
// Direct3D 10; a test passes its own list of adapters, outputs and modes.
#include <d3d10.h>
#include <dxgi.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "common/platform/com_holders.h"

// An adapter as the source knows it: its DXGI index and interface, or index -1 and no interface
// for the system's default adapter.
struct AdapterRef {
  int index;
  IDXGIAdapter* adapter;
};

struct OutputRef {
  UINT index;
  IDXGIOutput* output;
};

struct EnumerationSource {
  // Whether the framework has its DXGI factory.
  std::function<bool()> hasFactory;
  // IDXGIFactory::EnumAdapters.
  std::function<HRESULT(UINT index, ComPtr<IDXGIAdapter>* adapter)> enumAdapter;
  std::function<HRESULT(AdapterRef adapter, DXGI_ADAPTER_DESC* desc)> describeAdapter;
  // Whether a device of the driver type can be made on the adapter (made and released at once).
  std::function<HRESULT(AdapterRef adapter, D3D10_DRIVER_TYPE driverType)> testDevice;
  // IDXGIAdapter::EnumOutputs.
  std::function<HRESULT(AdapterRef adapter, UINT index, ComPtr<IDXGIOutput>* output)> enumOutput;
  std::function<HRESULT(AdapterRef adapter, OutputRef output, DXGI_OUTPUT_DESC* desc)>
      describeOutput;
  // The output's mode closest to the wish, found with a temporary hardware device on the adapter;
  // a failure when the runtime, the device or the match is missing.
  std::function<HRESULT(AdapterRef adapter, OutputRef output, const DXGI_MODE_DESC& wish,
                        DXGI_MODE_DESC* closest)>
      closestMode;
  // Per sample count from 1 up, the number of quality levels of the format (0: not supported).
  std::function<std::vector<UINT>(AdapterRef adapter, D3D10_DRIVER_TYPE driverType,
                                  DXGI_FORMAT format)>
      multisampleQualities;
};

// The source that asks the factory's DXGI and Direct3D 10 (d3d10.dll loaded on demand); a null
// factory is a framework without one.
EnumerationSource DxgiEnumerationSource(IDXGIFactory* factory);
