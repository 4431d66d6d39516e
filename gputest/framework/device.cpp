// The Direct3D 10 device, its swap chain and the back buffer's view, on the adapter the overrides
// name, windowed.
#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"

namespace {
constexpr UINT direct3D101SdkVersion = 0x20;
constexpr UINT direct3D10SdkVersion = 29;

using CreateDevice1 = HRESULT(WINAPI*)(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                       D3D10_FEATURE_LEVEL1, UINT, ID3D10Device1**);

// A 10.1 device where the runtime and adapter offer one, else a 10.0 device.
HRESULT CreateDirect3DDevice(FrameworkState& framework, IDXGIAdapter* adapter,
                             D3D10_DRIVER_TYPE driverType) {
  if (!framework.direct3D101) framework.direct3D101 = LoadedLibrary(L"d3d10_1.dll");
  if (auto create = framework.direct3D101.Symbol<CreateDevice1>("D3D10CreateDevice1")) {
    if (SUCCEEDED(create(adapter, driverType, nullptr, 0, D3D10_FEATURE_LEVEL_10_1,
                         direct3D101SdkVersion, framework.device1.out())) &&
        SUCCEEDED(framework.device1->QueryInterface(
            __uuidof(ID3D10Device), reinterpret_cast<void**>(framework.device.out())))) {
      return S_OK;
    }
    framework.device1.reset();
  }
  return D3D10CreateDevice(adapter, driverType, nullptr, 0, direct3D10SdkVersion,
                           framework.device.out());
}

HRESULT CreateBackBufferView(FrameworkState& framework) {
  ComPtr<ID3D10Texture2D> backBuffer;
  HRESULT hr = framework.swapChain->GetBuffer(0, __uuidof(ID3D10Texture2D),
                                              reinterpret_cast<void**>(backBuffer.out()));
  if (FAILED(hr)) return hr;
  hr = framework.device->CreateRenderTargetView(backBuffer.get(), nullptr,
                                                framework.renderTargetView.out());
  if (FAILED(hr)) return hr;
  ID3D10RenderTargetView* views[] = {framework.renderTargetView.get()};
  framework.device->OMSetRenderTargets(1, views, nullptr);
  D3D10_VIEWPORT viewport{0, 0, framework.frameStatsFacts.width, framework.frameStatsFacts.height,
                          0.0f, 1.0f};
  framework.device->RSSetViewports(1, &viewport);
  return S_OK;
}

HRESULT CreateEnvironment(FrameworkState& framework, bool windowed, UINT width, UINT height) {
  if (FAILED(CreateDXGIFactory(__uuidof(IDXGIFactory),
                               reinterpret_cast<void**>(framework.factory.out())))) {
    return frameworkNoDirect3D;
  }
  framework.factory->MakeWindowAssociation(nullptr, 0);
  const bool reference = framework.overrides.forceRef;
  if (!reference) {
    const int ordinal = framework.overrides.adapterOverride < 0
                            ? 0 : framework.overrides.adapterOverride;
    if (FAILED(framework.factory->EnumAdapters(static_cast<UINT>(ordinal),
                                               framework.adapter.out()))) {
      return frameworkCreatingDevice;
    }
  }
  if (FAILED(CreateDirect3DDevice(framework, framework.adapter.get(),
                                  reference ? D3D10_DRIVER_TYPE_REFERENCE
                                            : D3D10_DRIVER_TYPE_HARDWARE))) {
    return frameworkCreatingDevice;
  }

  DXGI_SWAP_CHAIN_DESC desc{};
  desc.BufferDesc.Width = width;
  desc.BufferDesc.Height = height;
  desc.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
  desc.SampleDesc.Count = 1;
  desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
  desc.BufferCount = 1;
  desc.OutputWindow = framework.window;
  desc.Windowed = windowed ? TRUE : FALSE;
  desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
  if (FAILED(framework.factory->CreateSwapChain(framework.device.get(), &desc,
                                                framework.swapChain.out()))) {
    return frameworkCreatingDevice;
  }
  framework.frameStatsFacts = {false, width, height, desc.BufferDesc.Format, 1, 0};
  DXGI_ADAPTER_DESC adapterDesc{};
  if (framework.adapter) framework.adapter->GetDesc(&adapterDesc);
  framework.deviceStats = DeviceStatsText(reference ? DeviceKind::Reference : DeviceKind::Hardware,
                                          adapterDesc.Description);

  if (framework.callbacks.deviceCreated) {
    framework.insideDeviceCallback = true;
    const HRESULT hr = framework.callbacks.deviceCreated(framework.device.get());
    framework.insideDeviceCallback = false;
    if (!framework.device) return E_FAIL;
    if (FAILED(hr)) return hr == frameworkMediaNotFound ? hr : frameworkCreatingDeviceObjects;
  }
  framework.deviceObjectsCreated = true;
  if (FAILED(CreateBackBufferView(framework))) return frameworkCreatingDeviceObjects;

  if (framework.callbacks.swapChainResized) {
    DXGI_SURFACE_DESC surface{width, height, desc.BufferDesc.Format, desc.SampleDesc};
    framework.insideDeviceCallback = true;
    const HRESULT hr = framework.callbacks.swapChainResized(framework.device.get(),
                                                            framework.swapChain.get(), surface);
    framework.insideDeviceCallback = false;
    if (!framework.device) return E_FAIL;
    if (FAILED(hr)) return hr == frameworkMediaNotFound ? hr : frameworkResettingDeviceObjects;
  }
  framework.deviceObjectsReset = true;
  return S_OK;
}
}  // namespace

HRESULT DXUTCreateDevice(bool windowed, int suggestedWidth, int suggestedHeight) {
  FrameworkState& framework = Framework();
  if (framework.insideDeviceCallback) return E_FAIL;
  framework.deviceCreationRequested = true;
  if (framework.window == nullptr) return E_FAIL;
  const FrameworkOverrides& overrides = framework.overrides;
  if (overrides.fullScreen) windowed = false;
  if (overrides.windowed) windowed = true;
  const int width = overrides.widthOverride > 0 ? overrides.widthOverride : suggestedWidth;
  const int height = overrides.heightOverride > 0 ? overrides.heightOverride : suggestedHeight;
  if (width <= 0 || height <= 0) return E_INVALIDARG;

  const HRESULT hr =
      CreateEnvironment(framework, windowed, static_cast<UINT>(width), static_cast<UINT>(height));
  if (FAILED(hr)) {
    DisplayErrorMessage(hr);
    ReleaseDevice();
  }
  return hr;
}

void ReleaseDevice() {
  FrameworkState& framework = Framework();
  if (framework.device) framework.device->ClearState();
  if (framework.deviceObjectsReset && framework.callbacks.swapChainReleasing) {
    framework.callbacks.swapChainReleasing();
  }
  framework.deviceObjectsReset = false;
  if (framework.deviceObjectsCreated && framework.callbacks.deviceDestroyed) {
    framework.callbacks.deviceDestroyed();
  }
  framework.deviceObjectsCreated = false;
  framework.renderTargetView.reset();
  framework.swapChain.reset();
  framework.device1.reset();
  framework.device.reset();
  framework.adapter.reset();
  framework.factory.reset();
}
