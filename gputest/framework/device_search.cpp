#include "gputest/framework/device_search.h"

#include <cmath>
#include <cstdlib>

#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"

namespace {
const char searchSourceName[] = "DXUTenum.cpp";
const char findFunction[] = "DXUTFindValidDeviceSettings";
const char findD3D10Function[] = "DXUTFindValidD3D10DeviceSettings";
const char preserveFunction[] = "DXUTDoesD3D10DeviceComboMatchPreserveOptions";

constexpr UINT windowedDefaultWidth = 640;
constexpr UINT windowedDefaultHeight = 480;
constexpr UINT defaultBufferCount = 2;

float RefreshRate(const DXGI_RATIONAL& rate) {
  return static_cast<float>(rate.Numerator) /
         static_cast<float>(rate.Denominator == 0 ? 1 : rate.Denominator);
}

bool SupportsSamples(const CD3D10EnumDeviceSettingsCombo& combo, UINT count, UINT* levels) {
  for (size_t i = 0; i < combo.multiSampleCountList.size(); ++i) {
    if (combo.multiSampleCountList[i] == count) {
      *levels = combo.multiSampleQualityList[i];
      return true;
    }
  }
  return false;
}

bool HasModeOfSize(const CD3D10EnumOutputInfo& output, UINT width, UINT height) {
  for (const DXGI_MODE_DESC& mode : output.displayModeList) {
    if (mode.Width == width && mode.Height == height) return true;
  }
  return false;
}
}  // namespace

CD3D10Enumeration* DXUTGetD3D10Enumeration(FrameworkState& framework, int requestedAdapter,
                                           int requestedOutput) {
  if (!framework.d3d10Enumeration || !framework.d3d10Enumeration->HasEnumerated()) {
    framework.d3d10Enumeration.reset(new CD3D10Enumeration(
        framework.platform.enumerationSource(framework.factory.get()), framework.trace));
    framework.d3d10Enumeration->Enumerate(framework.isD3D10DeviceAcceptable,
                                          framework.isD3D10DeviceAcceptableContext,
                                          requestedAdapter, requestedOutput);
  }
  return framework.d3d10Enumeration.get();
}

DXGI_MODE_DESC AdapterDesktopMode(const CD3D10EnumAdapterInfo& adapter) {
  DXGI_MODE_DESC mode{};
  if (adapter.outputInfoList.empty()) return mode;
  const RECT& desktop = adapter.outputInfoList.front()->Desc.DesktopCoordinates;
  mode.Width = static_cast<UINT>(desktop.right - desktop.left);
  mode.Height = static_cast<UINT>(desktop.bottom - desktop.top);
  mode.Format = DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
  return mode;
}

HRESULT DXUTFindValidDeviceSettings(FrameworkState& framework, DXUTDeviceSettings* out,
                                    const DXUTDeviceSettings* in,
                                    const DXUTMatchOptions* options) {
  const auto trace = [&](int line, const char* message) {
    framework.trace(searchSourceName, line, findFunction, message);
  };
  trace(84, "");
  if (out == nullptr || in == nullptr) return E_INVALIDARG;
  const DXUTMatchOptions ignoreAll{};
  const DXUTMatchOptions& match = options != nullptr ? *options : ignoreAll;
  trace(97, "");

  // The framework drives Direct3D 10 devices only; a request that insists on Direct3D 9 finds
  // nothing.
  const bool avoidD3D10 = match.eAPIVersion == DXUTMT_PRESERVE_INPUT && in->ver == DXUT_D3D9_DEVICE;
  trace(117, "");
  DXUTDeviceSettings working = *in;
  trace(132, "");

  HRESULT hr = frameworkNoCompatibleDevices;
  if (!avoidD3D10) {
    trace(135, "");
    if (!framework.platform.openDirect3D10(&framework.factory)) {
      trace(172, "");
      hr = frameworkNoDirect3D;
    } else {
      trace(139, "");
      DXUTGetD3D10Enumeration(framework, RequestedAdapterIndex(*in), RequestedOutputIndex(*in));
      const DXUTD3D10DeviceSettings request =
          in->ver == DXUT_D3D9_DEVICE ? ConvertSettingsFrom9To10(in->d3d9) : in->d3d10;
      trace(152, "");
      const CD3D10EnumAdapterInfo* adapter =
          framework.d3d10Enumeration->GetAdapterInfo(request.AdapterOrdinal);
      const DXUTD3D10DeviceSettings optimal = BuildOptimalD3D10DeviceSettings(
          request, match, adapter != nullptr ? AdapterDesktopMode(*adapter) : DXGI_MODE_DESC{});
      trace(155, "FINDING VALID DEVICE SETTINGS");
      hr = DXUTFindValidD3D10DeviceSettings(framework, &working.d3d10, request, match, optimal);
      if (SUCCEEDED(hr)) {
        working.ver = DXUT_D3D10_DEVICE;
        trace(163, "FOUND VALID DEVICE SETTINGS");
      } else {
        trace(167, "FAILED TO FIND VALID DEVICE SETTINGS");
      }
    }
  }
  trace(179, "");
  trace(204, "");
  if (SUCCEEDED(hr)) *out = working;
  return hr;
}

HRESULT DXUTFindValidD3D10DeviceSettings(FrameworkState& framework, DXUTD3D10DeviceSettings* out,
                                         const DXUTD3D10DeviceSettings& in,
                                         const DXUTMatchOptions& options,
                                         const DXUTD3D10DeviceSettings& optimal) {
  const auto trace = [&](int line) { framework.trace(searchSourceName, line, findD3D10Function, ""); };
  trace(3300);
  const CD3D10Enumeration* enumeration = DXUTGetD3D10Enumeration(framework, -1, -1);
  trace(3315);

  float bestScore = -1.0f;
  const CD3D10EnumDeviceSettingsCombo* best = nullptr;
  DXGI_MODE_DESC bestDesktopMode{};
  for (const auto& adapter : enumeration->GetAdapterInfoList()) {
    const DXGI_MODE_DESC desktopMode = AdapterDesktopMode(*adapter);
    for (const auto& combo : adapter->deviceSettingsComboList) {
      trace(3328);
      trace(3331);
      if (!DXUTDoesD3D10DeviceComboMatchPreserveOptions(*combo, in, options, framework.trace)) {
        continue;
      }
      trace(3336);
      const float score = RankD3D10DeviceCombo(*combo, optimal);
      trace(3339);
      // Of equal scores the first wins.
      if (score > bestScore) {
        bestScore = score;
        best = combo.get();
        bestDesktopMode = desktopMode;
      }
    }
  }
  trace(3348);
  if (best == nullptr) return frameworkNoCompatibleDevices;
  trace(3356);
  *out = BuildValidD3D10DeviceSettings(*best, in, options, bestDesktopMode);
  trace(3358);
  return S_OK;
}

bool DXUTDoesD3D10DeviceComboMatchPreserveOptions(const CD3D10EnumDeviceSettingsCombo& combo,
                                                  const DXUTD3D10DeviceSettings& in,
                                                  const DXUTMatchOptions& options,
                                                  const TraceSink& traceSink) {
  const auto trace = [&](int line, const char* message) {
    traceSink(searchSourceName, line, preserveFunction, message);
  };
  const auto preserve = [](DXUTMatchType type) { return type == DXUTMT_PRESERVE_INPUT; };
  trace(3547, "");
  if (preserve(options.eAdapterOrdinal) && combo.AdapterOrdinal != in.AdapterOrdinal) return false;
  trace(3555, "");
  if (preserve(options.eDeviceType) && combo.DeviceType != in.DriverType) return false;
  trace(3563, "");
  if (preserve(options.eWindowed) && combo.Windowed != (in.sd.Windowed != FALSE)) return false;
  trace(3571, "");
  if (preserve(options.eOutput) && combo.Output != in.Output) return false;
  trace(3579, "");
  if (preserve(options.eResolution)) {
    trace(3586, "");
    if (combo.pOutputInfo == nullptr) {
      trace(3608, "Null poutputinfo");
      return false;
    }
    bool found = false;
    for (const DXGI_MODE_DESC& mode : combo.pOutputInfo->displayModeList) {
      trace(3594, "");
      trace(3596, "");
      if (mode.Width == in.sd.BufferDesc.Width && mode.Height == in.sd.BufferDesc.Height) {
        trace(3600, "");
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  trace(3616, "");
  if (preserve(options.eBackBufferFormat) && combo.BackBufferFormat != in.sd.BufferDesc.Format) {
    return false;
  }
  if (preserve(options.eMultiSample)) {
    UINT levels = 0;
    if (!SupportsSamples(combo, in.sd.SampleDesc.Count, &levels) ||
        levels <= in.sd.SampleDesc.Quality) {
      return false;
    }
  }
  trace(3668, "");
  if (preserve(options.eRefreshRate)) {
    if (combo.pOutputInfo == nullptr) return false;
    bool found = false;
    for (const DXGI_MODE_DESC& mode : combo.pOutputInfo->displayModeList) {
      if (std::fabs(RefreshRate(mode.RefreshRate) - RefreshRate(in.sd.BufferDesc.RefreshRate)) <
          0.1f) {
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

DXUTD3D10DeviceSettings BuildOptimalD3D10DeviceSettings(const DXUTD3D10DeviceSettings& in,
                                                        const DXUTMatchOptions& options,
                                                        const DXGI_MODE_DESC& desktopMode) {
  const auto kept = [](DXUTMatchType type) { return type != DXUTMT_IGNORE_INPUT; };
  DXUTD3D10DeviceSettings optimal;
  optimal.AdapterOrdinal = kept(options.eAdapterOrdinal) ? in.AdapterOrdinal : 0;
  optimal.DriverType = kept(options.eDeviceType) ? in.DriverType : D3D10_DRIVER_TYPE_HARDWARE;
  optimal.Output = kept(options.eOutput) ? in.Output : 0;
  optimal.sd.Windowed = kept(options.eWindowed) ? in.sd.Windowed : TRUE;

  DXGI_MODE_DESC& buffer = optimal.sd.BufferDesc;
  if (kept(options.eResolution) && in.sd.BufferDesc.Width != 0 && in.sd.BufferDesc.Height != 0) {
    buffer.Width = in.sd.BufferDesc.Width;
    buffer.Height = in.sd.BufferDesc.Height;
  } else if (optimal.sd.Windowed) {
    buffer.Width = windowedDefaultWidth;
    buffer.Height = windowedDefaultHeight;
  } else {
    buffer.Width = desktopMode.Width;
    buffer.Height = desktopMode.Height;
  }
  buffer.Format = kept(options.eBackBufferFormat) && in.sd.BufferDesc.Format != DXGI_FORMAT_UNKNOWN
                      ? in.sd.BufferDesc.Format
                      : DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
  if (kept(options.eRefreshRate)) buffer.RefreshRate = in.sd.BufferDesc.RefreshRate;
  optimal.sd.SampleDesc = kept(options.eMultiSample) ? in.sd.SampleDesc : DXGI_SAMPLE_DESC{1, 0};
  optimal.sd.BufferCount = kept(options.eBackBufferCount) && in.sd.BufferCount != 0
                               ? in.sd.BufferCount : defaultBufferCount;
  optimal.SyncInterval = kept(options.ePresentInterval) ? in.SyncInterval : 1;
  optimal.CreateFlags = in.CreateFlags;
  return optimal;
}

float RankD3D10DeviceCombo(const CD3D10EnumDeviceSettingsCombo& combo,
                           const DXUTD3D10DeviceSettings& optimal) {
  // The adapter weighs most, then the driver type, windowed and output; within those the
  // resolution, format, samples and refresh rate break ties.
  float score = 0.0f;
  if (combo.AdapterOrdinal == optimal.AdapterOrdinal) score += 1000.0f;
  if (combo.DeviceType == optimal.DriverType) score += 100.0f;
  if (combo.DeviceType == D3D10_DRIVER_TYPE_HARDWARE) score += 0.1f;
  if (combo.Windowed == (optimal.sd.Windowed != FALSE)) score += 10.0f;
  if (combo.Output == optimal.Output) score += 5.0f;
  const DXGI_MODE_DESC& buffer = optimal.sd.BufferDesc;
  // A window takes any size; full screen needs a mode of the size.
  if (combo.Windowed ||
      (combo.pOutputInfo != nullptr && HasModeOfSize(*combo.pOutputInfo, buffer.Width,
                                                      buffer.Height))) {
    score += 1.0f;
  }
  if (combo.BackBufferFormat == buffer.Format) score += 1.0f;
  UINT levels = 0;
  if (SupportsSamples(combo, optimal.sd.SampleDesc.Count, &levels) &&
      levels > optimal.sd.SampleDesc.Quality) {
    score += 1.0f;
  }
  return score;
}

DXUTD3D10DeviceSettings BuildValidD3D10DeviceSettings(const CD3D10EnumDeviceSettingsCombo& combo,
                                                      const DXUTD3D10DeviceSettings& in,
                                                      const DXUTMatchOptions& options,
                                                      const DXGI_MODE_DESC& desktopMode) {
  const auto kept = [](DXUTMatchType type) { return type != DXUTMT_IGNORE_INPUT; };
  DXUTD3D10DeviceSettings valid;
  valid.AdapterOrdinal = combo.AdapterOrdinal;
  valid.DriverType = combo.DeviceType;
  valid.Output = combo.Output;
  valid.sd.Windowed = combo.Windowed ? TRUE : FALSE;

  DXGI_MODE_DESC& buffer = valid.sd.BufferDesc;
  buffer = in.sd.BufferDesc;
  buffer.Format = combo.BackBufferFormat;
  if (!kept(options.eResolution) || buffer.Width == 0 || buffer.Height == 0) {
    buffer.Width = combo.Windowed || desktopMode.Width == 0 ? windowedDefaultWidth : desktopMode.Width;
    buffer.Height =
        combo.Windowed || desktopMode.Height == 0 ? windowedDefaultHeight : desktopMode.Height;
  }
  if (combo.Windowed) {
    buffer.RefreshRate = DXGI_RATIONAL{0, 0};
  } else if (combo.pOutputInfo != nullptr && !combo.pOutputInfo->displayModeList.empty()) {
    // Full screen takes the output's mode nearest the size asked for (exactly it when preserved,
    // which the preserve test has made sure of), with that mode's refresh rate.
    const DXGI_MODE_DESC* nearest = nullptr;
    long nearestDistance = 0;
    for (const DXGI_MODE_DESC& mode : combo.pOutputInfo->displayModeList) {
      const long distance = std::labs(static_cast<long>(mode.Width) - static_cast<long>(buffer.Width)) +
                            std::labs(static_cast<long>(mode.Height) - static_cast<long>(buffer.Height));
      if (nearest == nullptr || distance < nearestDistance) {
        nearest = &mode;
        nearestDistance = distance;
      }
    }
    buffer.Width = nearest->Width;
    buffer.Height = nearest->Height;
    if (!kept(options.eRefreshRate)) buffer.RefreshRate = nearest->RefreshRate;
  }

  valid.sd.SampleDesc = DXGI_SAMPLE_DESC{1, 0};
  UINT levels = 0;
  if (kept(options.eMultiSample) && SupportsSamples(combo, in.sd.SampleDesc.Count, &levels) &&
      levels > 0) {
    valid.sd.SampleDesc.Count = in.sd.SampleDesc.Count;
    valid.sd.SampleDesc.Quality = in.sd.SampleDesc.Quality < levels ? in.sd.SampleDesc.Quality
                                                                    : levels - 1;
  }
  valid.sd.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
  valid.sd.BufferCount = kept(options.eBackBufferCount) && in.sd.BufferCount != 0
                             ? in.sd.BufferCount : defaultBufferCount;
  valid.sd.OutputWindow = in.sd.OutputWindow;
  valid.sd.SwapEffect = kept(options.eSwapEffect) ? in.sd.SwapEffect : DXGI_SWAP_EFFECT_DISCARD;
  valid.sd.Flags = in.sd.Flags;
  valid.CreateFlags = in.CreateFlags;
  valid.SyncInterval = kept(options.ePresentInterval) ? in.SyncInterval : 1;
  valid.PresentFlags = in.PresentFlags;
  if (kept(options.eDepthFormat) && in.AutoDepthStencilFormat != DXGI_FORMAT_UNKNOWN) {
    valid.AutoCreateDepthStencil = in.AutoCreateDepthStencil;
    valid.AutoDepthStencilFormat = in.AutoDepthStencilFormat;
  } else {
    // The framework's own depth buffer unless the request names one.
    valid.AutoCreateDepthStencil = true;
    valid.AutoDepthStencilFormat = DXGI_FORMAT_D32_FLOAT;
  }
  return valid;
}
