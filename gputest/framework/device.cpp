// Device creation: the request built from the call and the overrides, the device search, and the
// Direct3D 10 device with its swap chain and views; resizing and releasing them.
#include <new>

#include "gputest/framework/device_search.h"
#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"

namespace {
const char coreSourceName[] = "DXUT.cpp";
const char createDeviceFunction[] = "DXUTCreateDevice";
const char createFromSettingsFunction[] = "DXUTCreateDeviceFromSettings";
const char create3DEnvironment10Function[] = "DXUTCreate3DEnvironment10";

// The request of DXUTCreateDevice, in the Direct3D 9 form, with its match options.
void BuildDeviceRequest(const FrameworkOverrides& overrides, bool windowed, int width, int height,
                        const TraceSink& trace, DXUTDeviceSettings* request,
                        DXUTMatchOptions* match) {
  DXUTD3D9DeviceSettings& d3d9 = request->d3d9;
  request->ver = DXUT_D3D9_DEVICE;
  d3d9.pp.Windowed = windowed ? TRUE : FALSE;
  d3d9.pp.BackBufferWidth = static_cast<UINT>(width);
  d3d9.pp.BackBufferHeight = static_cast<UINT>(height);
  match->eWindowed = DXUTMT_PRESERVE_INPUT;
  match->eResolution =
      windowed || (width != 0 && height != 0) ? DXUTMT_CLOSEST_TO_INPUT : DXUTMT_IGNORE_INPUT;

  if (overrides.widthOverride != 0) {
    d3d9.pp.BackBufferWidth = static_cast<UINT>(overrides.widthOverride);
    match->eResolution = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.heightOverride != 0) {
    d3d9.pp.BackBufferHeight = static_cast<UINT>(overrides.heightOverride);
    match->eResolution = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.adapterOverride != -1) {
    d3d9.AdapterOrdinal = static_cast<UINT>(overrides.adapterOverride);
    match->eAdapterOrdinal = DXUTMT_PRESERVE_INPUT;
  }
  // The search restricts its enumeration to this output; it is not matched.
  if (overrides.outputOverride != -1) d3d9.AdapterFormat = static_cast<UINT>(overrides.outputOverride);
  if (overrides.fullScreen) {
    d3d9.pp.Windowed = FALSE;
    match->eWindowed = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.windowed) {
    d3d9.pp.Windowed = TRUE;
    match->eWindowed = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.forceHal) {
    d3d9.DeviceType = D3DDEVTYPE_HAL;
    match->eDeviceType = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.forceRef) {
    d3d9.DeviceType = D3DDEVTYPE_REF;
    match->eDeviceType = DXUTMT_PRESERVE_INPUT;
  }
  trace(coreSourceName, 2092, createDeviceFunction, "");

  if (overrides.forcePureHwvp) {
    d3d9.BehaviorFlags = D3DCREATE_PUREDEVICE | D3DCREATE_HARDWARE_VERTEXPROCESSING;
    match->eVertexProcessing = DXUTMT_PRESERVE_INPUT;
  } else if (overrides.forceHwvp) {
    d3d9.BehaviorFlags = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    match->eVertexProcessing = DXUTMT_PRESERVE_INPUT;
  } else if (overrides.forceSwvp) {
    d3d9.BehaviorFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    match->eVertexProcessing = DXUTMT_PRESERVE_INPUT;
  }
  trace(coreSourceName, 2108, createDeviceFunction, "");

  if (overrides.forceVsync == 0) {
    d3d9.pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    match->ePresentInterval = DXUTMT_PRESERVE_INPUT;
  } else if (overrides.forceVsync == 1) {
    d3d9.pp.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    match->ePresentInterval = DXUTMT_PRESERVE_INPUT;
  }
  if (overrides.forceApi == 9) {
    match->eAPIVersion = DXUTMT_PRESERVE_INPUT;
  } else if (overrides.forceApi == 10) {
    request->d3d10 = ConvertSettingsFrom9To10(d3d9);
    request->ver = DXUT_D3D10_DEVICE;
    match->eAPIVersion = DXUTMT_PRESERVE_INPUT;
  }
  trace(coreSourceName, 2140, createDeviceFunction, "");
}

HRESULT CreateViews(FrameworkState& framework) {
  const DXUTD3D10DeviceSettings& settings = framework.currentSettings.d3d10;
  ComPtr<ID3D10Texture2D> backBuffer;
  HRESULT hr = framework.swapChain->GetBuffer(0, __uuidof(ID3D10Texture2D),
                                              reinterpret_cast<void**>(backBuffer.out()));
  if (FAILED(hr)) return hr;
  hr = framework.device->CreateRenderTargetView(backBuffer.get(), nullptr,
                                                framework.renderTargetView.out());
  if (FAILED(hr)) return hr;
  const DXGI_SURFACE_DESC& surface = framework.backBufferSurfaceDesc;
  if (settings.AutoCreateDepthStencil) {
    D3D10_TEXTURE2D_DESC depthDesc{};
    depthDesc.Width = surface.Width;
    depthDesc.Height = surface.Height;
    depthDesc.MipLevels = 1;
    depthDesc.ArraySize = 1;
    depthDesc.Format = settings.AutoDepthStencilFormat;
    depthDesc.SampleDesc = surface.SampleDesc;
    depthDesc.Usage = D3D10_USAGE_DEFAULT;
    depthDesc.BindFlags = D3D10_BIND_DEPTH_STENCIL;
    hr = framework.device->CreateTexture2D(&depthDesc, nullptr, framework.depthStencil.out());
    if (FAILED(hr)) return hr;
    D3D10_DEPTH_STENCIL_VIEW_DESC viewDesc{};
    viewDesc.Format = depthDesc.Format;
    viewDesc.ViewDimension = surface.SampleDesc.Count > 1 ? D3D10_DSV_DIMENSION_TEXTURE2DMS
                                                          : D3D10_DSV_DIMENSION_TEXTURE2D;
    hr = framework.device->CreateDepthStencilView(framework.depthStencil.get(), &viewDesc,
                                                  framework.depthStencilView.out());
    if (FAILED(hr)) return hr;
  }
  ID3D10RenderTargetView* views[] = {framework.renderTargetView.get()};
  framework.device->OMSetRenderTargets(1, views, framework.depthStencilView.get());
  D3D10_VIEWPORT viewport{0, 0, surface.Width, surface.Height, 0.0f, 1.0f};
  framework.device->RSSetViewports(1, &viewport);
  return S_OK;
}

void ReleaseViews(FrameworkState& framework) {
  if (framework.device) framework.device->OMSetRenderTargets(0, nullptr, nullptr);
  framework.depthStencilView.reset();
  framework.depthStencil.reset();
  framework.renderTargetView.reset();
}

// The back buffer's description and the frame statistics that show it.
HRESULT ReadBackBuffer(FrameworkState& framework) {
  ComPtr<ID3D10Texture2D> backBuffer;
  const HRESULT hr = framework.swapChain->GetBuffer(0, __uuidof(ID3D10Texture2D),
                                                    reinterpret_cast<void**>(backBuffer.out()));
  if (FAILED(hr)) return hr;
  D3D10_TEXTURE2D_DESC desc{};
  backBuffer->GetDesc(&desc);
  framework.backBufferSurfaceDesc = DXGI_SURFACE_DESC{desc.Width, desc.Height, desc.Format,
                                                      desc.SampleDesc};
  const DXUTD3D10DeviceSettings& settings = framework.currentSettings.d3d10;
  framework.syncInterval = settings.SyncInterval;
  framework.frameStatsFacts = {settings.SyncInterval != 0, desc.Width, desc.Height, desc.Format,
                               desc.SampleDesc.Count, desc.SampleDesc.Quality};
  return S_OK;
}

// Runs a device callback with the inside-callback flag set; E_FAIL when it shut the framework
// down, the callback's failure mapped to failureResult unless it is "media not found".
HRESULT RunDeviceCallback(FrameworkState& framework, const std::function<HRESULT()>& callback,
                          HRESULT failureResult, int traceLine) {
  framework.insideDeviceCallback = true;
  const HRESULT hr = callback();
  framework.insideDeviceCallback = false;
  if (!framework.device) return E_FAIL;
  if (SUCCEEDED(hr)) return S_OK;
  if (traceLine != 0) framework.trace(coreSourceName, traceLine, create3DEnvironment10Function, "");
  return hr == frameworkMediaNotFound ? hr : failureResult;
}

// The swap-chain-resized callback on the new back buffer; the device objects count as reset once
// it has succeeded.
HRESULT TellSwapChainResized(FrameworkState& framework) {
  if (framework.callbacks.swapChainResized) {
    const HRESULT hr = RunDeviceCallback(framework,
                           [&] {
                             return framework.callbacks.swapChainResized(
                                 framework.device.get(), framework.swapChain.get(),
                                 framework.backBufferSurfaceDesc);
                           },
                           frameworkResettingDeviceObjects, 0);
    if (FAILED(hr)) return hr;
  }
  framework.deviceObjectsReset = true;
  return S_OK;
}

// The framework's device change step: the application's say on the settings, then a device made
// anew from them. Shows its own failures.
HRESULT ChangeDevice(FrameworkState& framework, const DXUTDeviceSettings& newSettings) {
  DXUTDeviceSettings settings = newSettings;
  settings.d3d10.sd.OutputWindow = framework.window;
  if (framework.callbacks.modifyDeviceSettings) {
    framework.insideDeviceCallback = true;
    const bool accepted = framework.callbacks.modifyDeviceSettings(&settings);
    framework.insideDeviceCallback = false;
    if (!accepted) return E_ABORT;
  }
  ReleaseDevice(framework);
  framework.currentSettings = settings;
  const HRESULT hr = DXUTCreate3DEnvironment10(framework);
  if (FAILED(hr)) {
    DisplayErrorMessage(framework, hr);
    ReleaseDevice(framework);
  }
  return hr;
}

// The window the device needs: the one the program made, or the framework's default one.
HRESULT EnsureWindow(FrameworkState& framework) {
  if (framework.window != nullptr) return S_OK;
  if (framework.windowCreateAttempted || framework.createWindow == nullptr) return E_FAIL;
  return framework.createWindow(L"Direct3D Window");
}
}  // namespace

HRESULT DXUTCreateDevice(FrameworkState& framework, bool windowed, int suggestedWidth,
                         int suggestedHeight) {
  framework.trace(coreSourceName, 1995, createDeviceFunction, "");
  if (framework.insideDeviceCallback) return E_FAIL;
  // Marked before anything can fail, so the main loop does not try again after a failure.
  framework.deviceCreationRequested = true;
  HRESULT hr = EnsureWindow(framework);
  if (FAILED(hr)) return hr;

  framework.trace(coreSourceName, 2019, createDeviceFunction, "");
  DXUTDeviceSettings request;
  DXUTMatchOptions match;
  BuildDeviceRequest(framework.overrides, windowed, suggestedWidth, suggestedHeight,
                     framework.trace, &request, &match);

  hr = DXUTFindValidDeviceSettings(framework, &request, &request, &match);
  framework.trace(coreSourceName, 2142, createDeviceFunction, "");
  if (FAILED(hr)) {
    framework.trace(coreSourceName, 2145, createDeviceFunction, "");
    DisplayErrorMessage(framework, hr);
    framework.trace(coreSourceName, 2147, createDeviceFunction, "");
    return hr;
  }
  framework.trace(coreSourceName, 2150, createDeviceFunction, "");
  hr = ChangeDevice(framework, request);
  if (FAILED(hr)) return hr;
  framework.trace(coreSourceName, 2157, createDeviceFunction, "");
  return S_OK;
}

HRESULT DXUTCreateDeviceFromSettings(FrameworkState& framework, DXUTDeviceSettings* settings,
                                     bool preserveInput, bool) {
  framework.trace(coreSourceName, 2171, createFromSettingsFunction, "");
  framework.deviceCreationRequested = true;
  HRESULT hr = EnsureWindow(framework);
  if (FAILED(hr)) return hr;
  if (!preserveInput) {
    DXUTMatchOptions closest;
    DXUTMatchType* options[] = {
        &closest.eAPIVersion,   &closest.eAdapterOrdinal,  &closest.eOutput,
        &closest.eDeviceType,   &closest.eWindowed,        &closest.eAdapterFormat,
        &closest.eVertexProcessing, &closest.eResolution,  &closest.eBackBufferFormat,
        &closest.eBackBufferCount,  &closest.eMultiSample, &closest.eSwapEffect,
        &closest.eDepthFormat,  &closest.eStencilFormat,   &closest.ePresentFlags,
        &closest.eRefreshRate,  &closest.ePresentInterval};
    for (DXUTMatchType* option : options) *option = DXUTMT_CLOSEST_TO_INPUT;
    hr = DXUTFindValidDeviceSettings(framework, settings, settings, &closest);
    if (FAILED(hr)) {
      DisplayErrorMessage(framework, hr);
      return hr;
    }
  }
  hr = ChangeDevice(framework, *settings);
  if (FAILED(hr)) return hr;
  framework.trace(coreSourceName, 2228, createFromSettingsFunction, "");
  return S_OK;
}

HRESULT DXUTCreate3DEnvironment10(FrameworkState& framework) {
  DXUTD3D10DeviceSettings& settings = framework.currentSettings.d3d10;
  if (!framework.platform.openDirect3D10(&framework.factory)) return frameworkNoDirect3D;
  framework.factory->MakeWindowAssociation(nullptr, 0);

  ComPtr<IDXGIAdapter> adapter;
  if (settings.DriverType == D3D10_DRIVER_TYPE_HARDWARE) {
    if (FAILED(framework.factory->EnumAdapters(settings.AdapterOrdinal, adapter.out()))) {
      return frameworkCreatingDevice;
    }
  } else if (settings.DriverType == D3D10_DRIVER_TYPE_SOFTWARE) {
    framework.softwareModule = LoadedLibrary(L"D3D10WARP.dll");
  }
  // Never the debug layer, whatever the application asked for: the run measures the device.
  settings.CreateFlags &= ~static_cast<UINT32>(D3D10_CREATE_DEVICE_DEBUG);

  ComPtr<ID3D10Device1> device1;
  ComPtr<ID3D10Device> device;
  HRESULT hr = framework.platform.createDevice1(adapter.get(), settings.DriverType,
                                                framework.softwareModule.get(),
                                                settings.CreateFlags, &device1);
  if (SUCCEEDED(hr)) {
    hr = device1->QueryInterface(__uuidof(ID3D10Device), reinterpret_cast<void**>(device.out()));
  }
  if (FAILED(hr)) {
    device1.reset();
    hr = framework.platform.createDevice(adapter.get(), settings.DriverType,
                                         framework.softwareModule.get(), settings.CreateFlags,
                                         &device);
  }
  if (FAILED(hr)) return frameworkCreatingDevice;

  if (!adapter) {
    ComPtr<IDXGIDevice> dxgiDevice;
    if (SUCCEEDED(device->QueryInterface(__uuidof(IDXGIDevice),
                                         reinterpret_cast<void**>(dxgiDevice.out())))) {
      dxgiDevice->GetAdapter(adapter.out());
    }
  }
  framework.outputs.clear();
  if (adapter) {
    for (UINT i = 0;; ++i) {
      ComPtr<IDXGIOutput> output;
      if (FAILED(adapter->EnumOutputs(i, output.out()))) break;
      try {
        framework.outputs.push_back(std::move(output));
      } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
      }
    }
  }
  ComPtr<IDXGISwapChain> swapChain;
  DXGI_SWAP_CHAIN_DESC swapChainDesc = settings.sd;
  if (FAILED(framework.factory->CreateSwapChain(device.get(), &swapChainDesc, swapChain.out()))) {
    return frameworkCreatingDevice;
  }
  framework.adapter = std::move(adapter);
  framework.device = std::move(device);
  framework.device1 = std::move(device1);
  framework.swapChain = std::move(swapChain);
  if (settings.DriverType == D3D10_DRIVER_TYPE_REFERENCE && framework.exitCode == 0) {
    framework.exitCode = kReferenceDeviceExitCode;
  } else if (settings.DriverType == D3D10_DRIVER_TYPE_HARDWARE &&
             framework.exitCode == kReferenceDeviceExitCode) {
    framework.exitCode = 0;
  }

  hr = ReadBackBuffer(framework);
  if (FAILED(hr)) return frameworkCreatingDevice;
  SetUpCursor(framework);
  const CD3D10EnumAdapterInfo* entry =
      DXUTGetD3D10Enumeration(framework, -1, -1)->GetAdapterInfo(settings.AdapterOrdinal);
  const DeviceKind kind = settings.DriverType == D3D10_DRIVER_TYPE_REFERENCE ? DeviceKind::Reference
                          : settings.DriverType == D3D10_DRIVER_TYPE_HARDWARE ? DeviceKind::Hardware
                                                                              : DeviceKind::Warp;
  framework.deviceStats =
      DeviceStatsText(kind, entry != nullptr ? entry->AdapterDesc.Description : L"");

  if (framework.callbacks.deviceCreated) {
    hr = RunDeviceCallback(framework,
                           [&] { return framework.callbacks.deviceCreated(framework.device.get()); },
                           frameworkCreatingDeviceObjects, 4099);
    if (FAILED(hr)) return hr;
  }
  framework.deviceObjectsCreated = true;
  if (FAILED(CreateViews(framework))) {
    framework.trace(coreSourceName, 4109, create3DEnvironment10Function, "");
    return frameworkCreatingDeviceObjects;
  }
  return TellSwapChainResized(framework);
}

HRESULT ResizeDXGIBuffers(FrameworkState& framework, UINT width, UINT height) {
  if (!framework.swapChain || framework.insideDeviceCallback) return S_OK;
  DXUTD3D10DeviceSettings& settings = framework.currentSettings.d3d10;
  if (framework.deviceObjectsReset && framework.callbacks.swapChainReleasing) {
    framework.callbacks.swapChainReleasing();
  }
  framework.deviceObjectsReset = false;
  ReleaseViews(framework);
  HRESULT hr = framework.swapChain->ResizeBuffers(settings.sd.BufferCount, width, height,
                                                  settings.sd.BufferDesc.Format, settings.sd.Flags);
  if (FAILED(hr)) return hr;
  settings.sd.BufferDesc.Width = width;
  settings.sd.BufferDesc.Height = height;
  hr = ReadBackBuffer(framework);
  if (FAILED(hr) || FAILED(CreateViews(framework))) return frameworkResettingDeviceObjects;
  return TellSwapChainResized(framework);
}

void ReleaseDevice(FrameworkState& framework) {
  if (framework.device) framework.device->ClearState();
  if (framework.deviceObjectsReset && framework.callbacks.swapChainReleasing) {
    framework.callbacks.swapChainReleasing();
  }
  framework.deviceObjectsReset = false;
  ReleaseViews(framework);
  if (framework.deviceObjectsCreated && framework.callbacks.deviceDestroyed) {
    framework.callbacks.deviceDestroyed();
  }
  framework.deviceObjectsCreated = false;
  ReleaseCursorClip(framework);
  // A full-screen swap chain must be windowed before it goes.
  if (framework.swapChain) framework.swapChain->SetFullscreenState(FALSE, nullptr);
  framework.swapChain.reset();
  framework.device1.reset();
  if (framework.device) {
    // The framework's reference is the last one once the callbacks have released theirs; the
    // reference taken here tells how many are left after it.
    ID3D10Device* device = framework.device.get();
    device->AddRef();
    framework.device.reset();
    const ULONG stillHeld = device->Release();
    if (stillHeld != 0 && NoFailureYet(framework)) {
      DisplayErrorMessage(framework, frameworkNonZeroRefCount);
    }
  }
  framework.outputs.clear();
  framework.adapter.reset();
}
