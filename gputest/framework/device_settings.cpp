#include "gputest/framework/device_settings.h"

int RequestedAdapterIndex(const DXUTDeviceSettings& request) {
  return static_cast<int>(request.ver == DXUT_D3D9_DEVICE ? request.d3d9.AdapterOrdinal
                                                          : request.d3d10.AdapterOrdinal);
}

int RequestedOutputIndex(const DXUTDeviceSettings& request) {
  return static_cast<int>(request.ver == DXUT_D3D9_DEVICE ? request.d3d9.AdapterFormat
                                                          : request.d3d10.Output);
}

DXGI_FORMAT ConvertFormatD3D9ToDxgi(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
      return DXGI_FORMAT_R8G8B8A8_UNORM;
    case D3DFMT_A2B10G10R10:
    case D3DFMT_A2R10G10B10:
      return DXGI_FORMAT_R10G10B10A2_UNORM;
    case D3DFMT_A16B16G16R16F:
      return DXGI_FORMAT_R16G16B16A16_FLOAT;
    case D3DFMT_R5G6B5:
      return DXGI_FORMAT_B5G6R5_UNORM;
    case D3DFMT_D16:
      return DXGI_FORMAT_D16_UNORM;
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
      return DXGI_FORMAT_D24_UNORM_S8_UINT;
    case D3DFMT_D32F_LOCKABLE:
    case D3DFMT_D32:
      return DXGI_FORMAT_D32_FLOAT;
    default:
      return DXGI_FORMAT_UNKNOWN;
  }
}

DXUTD3D10DeviceSettings ConvertSettingsFrom9To10(const DXUTD3D9DeviceSettings& in) {
  DXUTD3D10DeviceSettings out;
  out.AdapterOrdinal = in.AdapterOrdinal;
  out.DriverType = in.DeviceType == D3DDEVTYPE_REF ? D3D10_DRIVER_TYPE_REFERENCE
                                                   : D3D10_DRIVER_TYPE_HARDWARE;
  // The request keeps its output index in the adapter-format field.
  out.Output = in.AdapterFormat;
  out.sd.BufferDesc.Width = in.pp.BackBufferWidth;
  out.sd.BufferDesc.Height = in.pp.BackBufferHeight;
  out.sd.BufferDesc.Format = ConvertFormatD3D9ToDxgi(in.pp.BackBufferFormat);
  out.sd.BufferDesc.RefreshRate.Numerator = in.pp.FullScreen_RefreshRateInHz;
  out.sd.BufferDesc.RefreshRate.Denominator = in.pp.FullScreen_RefreshRateInHz != 0 ? 1 : 0;
  out.sd.SampleDesc.Count = in.pp.MultiSampleType == D3DMULTISAMPLE_NONE
                                ? 1 : static_cast<UINT>(in.pp.MultiSampleType);
  out.sd.SampleDesc.Quality = in.pp.MultiSampleQuality;
  out.sd.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
  out.sd.BufferCount = in.pp.BackBufferCount;
  out.sd.OutputWindow = in.pp.hDeviceWindow;
  out.sd.Windowed = in.pp.Windowed;
  out.sd.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
  out.CreateFlags = 0;
  out.SyncInterval = in.pp.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1;
  out.AutoCreateDepthStencil = in.pp.EnableAutoDepthStencil != FALSE;
  out.AutoDepthStencilFormat = ConvertFormatD3D9ToDxgi(in.pp.AutoDepthStencilFormat);
  return out;
}
