// The real system calls behind device creation, and the error display on the framework's state.
#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"

namespace {
constexpr UINT direct3D101SdkVersion = 0x20;
constexpr UINT direct3D10SdkVersion = 29;

using CreateDevice1 = HRESULT(WINAPI*)(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                       D3D10_FEATURE_LEVEL1, UINT, ID3D10Device1**);
}  // namespace

DevicePlatform::DevicePlatform()
    : openDirect3D10([](ComPtr<IDXGIFactory>* factory) {
        if (*factory) return true;
        return SUCCEEDED(
            CreateDXGIFactory(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory->out())));
      }),
      enumerationSource(DxgiEnumerationSource),
      createDevice1([](IDXGIAdapter* adapter, D3D10_DRIVER_TYPE driverType, HMODULE software,
                       UINT flags, ComPtr<ID3D10Device1>* device) -> HRESULT {
        // Looked up at run time: older systems have no 10.1 runtime. The module stays loaded
        // for the device's life.
        static const HMODULE runtime = LoadLibraryW(L"d3d10_1.dll");
        if (runtime == nullptr) return E_NOINTERFACE;
        const auto create = reinterpret_cast<CreateDevice1>(
            reinterpret_cast<void*>(GetProcAddress(runtime, "D3D10CreateDevice1")));
        if (create == nullptr) return E_NOINTERFACE;
        return create(adapter, driverType, software, flags, D3D10_FEATURE_LEVEL_10_1,
                      direct3D101SdkVersion, device->out());
      }),
      createDevice([](IDXGIAdapter* adapter, D3D10_DRIVER_TYPE driverType, HMODULE software,
                      UINT flags, ComPtr<ID3D10Device>* device) {
        return D3D10CreateDevice(adapter, driverType, software, flags, direct3D10SdkVersion,
                                 device->out());
      }),
      present([](IDXGISwapChain* swapChain, UINT syncInterval) {
        return swapChain->Present(syncInterval, 0);
      }) {}

bool DisplayErrorMessage(FrameworkState& framework, HRESULT result) {
  if (DisplayFrameworkError(result, framework.windowTitle, framework.showMessageBoxes,
                            &framework.exitCode, framework.messages)) {
    return true;
  }
  framework.exitCode = 1;  // a failure without a message of its own
  return false;
}
