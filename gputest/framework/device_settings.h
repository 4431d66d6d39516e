#pragma once
// The framework's device settings record, in its Direct3D 9 and Direct3D 10 forms, and the match
// options that tell the device search what to keep of a request.
#include <d3d10.h>
#include <d3d9.h>
#include <dxgi.h>
#include <windows.h>

enum DXUTDeviceVersion { DXUT_D3D9_DEVICE, DXUT_D3D10_DEVICE };

// The Direct3D 9 form, as far as the search reads it. The adapter-format field carries the output
// index of a request (the Direct3D 10 form's output stands at the same place).
struct DXUTD3D9DeviceSettings {
  UINT AdapterOrdinal = 0;
  D3DDEVTYPE DeviceType = static_cast<D3DDEVTYPE>(0);
  UINT AdapterFormat = 0;
  DWORD BehaviorFlags = 0;
  D3DPRESENT_PARAMETERS pp{};
};

struct DXUTD3D10DeviceSettings {
  UINT AdapterOrdinal = 0;
  D3D10_DRIVER_TYPE DriverType = D3D10_DRIVER_TYPE_HARDWARE;
  UINT Output = 0;
  DXGI_SWAP_CHAIN_DESC sd{};
  UINT32 CreateFlags = 0;
  UINT32 SyncInterval = 0;
  DWORD PresentFlags = 0;
  bool AutoCreateDepthStencil = false;
  DXGI_FORMAT AutoDepthStencilFormat = DXGI_FORMAT_UNKNOWN;
};

struct DXUTDeviceSettings {
  DXUTDeviceVersion ver = DXUT_D3D9_DEVICE;
  DXUTD3D9DeviceSettings d3d9;
  DXUTD3D10DeviceSettings d3d10;
};

enum DXUTMatchType {
  DXUTMT_IGNORE_INPUT = 0,
  DXUTMT_PRESERVE_INPUT = 1,
  DXUTMT_CLOSEST_TO_INPUT = 2,
};

struct DXUTMatchOptions {
  DXUTMatchType eAPIVersion = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eAdapterOrdinal = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eOutput = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eDeviceType = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eWindowed = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eAdapterFormat = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eVertexProcessing = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eResolution = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eBackBufferFormat = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eBackBufferCount = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eMultiSample = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eSwapEffect = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eDepthFormat = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eStencilFormat = DXUTMT_IGNORE_INPUT;
  DXUTMatchType ePresentFlags = DXUTMT_IGNORE_INPUT;
  DXUTMatchType eRefreshRate = DXUTMT_IGNORE_INPUT;
  DXUTMatchType ePresentInterval = DXUTMT_IGNORE_INPUT;
};

// The request's adapter and output indices, read where both forms keep them, whatever the form.
int RequestedAdapterIndex(const DXUTDeviceSettings& request);
int RequestedOutputIndex(const DXUTDeviceSettings& request);

// The Direct3D 10 form of a request made in the Direct3D 9 form.
DXUTD3D10DeviceSettings ConvertSettingsFrom9To10(const DXUTD3D9DeviceSettings& in);
DXGI_FORMAT ConvertFormatD3D9ToDxgi(D3DFORMAT format);
