#include "gputest/framework/device_toggles.h"

namespace {
HRESULT ChangeOrGoBack(FrameworkState& framework, DXUTDeviceSettings settings) {
  const DXUTDeviceSettings working = framework.currentSettings;
  const HRESULT hr = DXUTCreateDeviceFromSettings(framework, &settings, true, false);
  // E_ABORT: the program refused the settings and the device is the one it was.
  if (SUCCEEDED(hr) || hr == E_ABORT) return hr;
  DXUTDeviceSettings back = working;
  if (FAILED(DXUTCreateDeviceFromSettings(framework, &back, true, false)) &&
      framework.window != nullptr) {
    PostMessageW(framework.window, WM_CLOSE, 0, 0);
  }
  return hr;
}

HRESULT ToggleDriverType(FrameworkState& framework, D3D10_DRIVER_TYPE other) {
  if (!framework.device) return E_FAIL;
  DXUTDeviceSettings settings = framework.currentSettings;
  D3D10_DRIVER_TYPE& type = settings.d3d10.DriverType;
  type = type == other ? D3D10_DRIVER_TYPE_HARDWARE : other;
  return ChangeOrGoBack(framework, settings);
}
}  // namespace

HRESULT DXUTToggleFullScreen(FrameworkState& framework) {
  if (!framework.device) return E_FAIL;
  DXUTDeviceSettings settings = framework.currentSettings;
  DXGI_SWAP_CHAIN_DESC& sd = settings.d3d10.sd;
  sd.Windowed = sd.Windowed ? FALSE : TRUE;
  if (!sd.Windowed) {
    // Full screen at the desktop size of the output the device shows on; the windowed size is
    // kept for the way back.
    framework.windowedBackBufferWidth = sd.BufferDesc.Width;
    framework.windowedBackBufferHeight = sd.BufferDesc.Height;
    const UINT output = settings.d3d10.Output;
    DXGI_OUTPUT_DESC desc{};
    if (output < framework.outputs.size() && SUCCEEDED(framework.outputs[output]->GetDesc(&desc))) {
      sd.BufferDesc.Width =
          static_cast<UINT>(desc.DesktopCoordinates.right - desc.DesktopCoordinates.left);
      sd.BufferDesc.Height =
          static_cast<UINT>(desc.DesktopCoordinates.bottom - desc.DesktopCoordinates.top);
    }
  } else if (framework.windowedBackBufferWidth != 0 && framework.windowedBackBufferHeight != 0) {
    sd.BufferDesc.Width = framework.windowedBackBufferWidth;
    sd.BufferDesc.Height = framework.windowedBackBufferHeight;
  }
  return ChangeOrGoBack(framework, settings);
}

HRESULT DXUTToggleREF(FrameworkState& framework) {
  return ToggleDriverType(framework, D3D10_DRIVER_TYPE_REFERENCE);
}

HRESULT DXUTToggleWARP(FrameworkState& framework) {
  return ToggleDriverType(framework, D3D10_DRIVER_TYPE_SOFTWARE);
}
