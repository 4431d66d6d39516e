#pragma once
// The framework's device-settings search: the request and its match options against the device
// combinations of the Direct3D 10 enumeration, restricted to the adapter and output the request
// names.
#include "gputest/framework/d3d10_enumeration.h"
#include "gputest/framework/device_settings.h"
#include "gputest/framework/trace_sink.h"

struct FrameworkState;

// The process's enumeration, built on the first call for the two indices; later calls get the
// same entries whatever they pass.
CD3D10Enumeration* DXUTGetD3D10Enumeration(FrameworkState& framework, int requestedAdapter,
                                           int requestedOutput);

// Writes the settings found to *out; in may be out itself. Absent options ignore every input.
HRESULT DXUTFindValidDeviceSettings(FrameworkState& framework, DXUTDeviceSettings* out,
                                    const DXUTDeviceSettings* in,
                                    const DXUTMatchOptions* options);
HRESULT DXUTFindValidD3D10DeviceSettings(FrameworkState& framework, DXUTD3D10DeviceSettings* out,
                                         const DXUTD3D10DeviceSettings& in,
                                         const DXUTMatchOptions& options,
                                         const DXUTD3D10DeviceSettings& optimal);
bool DXUTDoesD3D10DeviceComboMatchPreserveOptions(const CD3D10EnumDeviceSettingsCombo& combo,
                                                  const DXUTD3D10DeviceSettings& in,
                                                  const DXUTMatchOptions& options,
                                                  const TraceSink& trace);

// What the search aims at: the request where it is kept, the framework's defaults elsewhere.
DXUTD3D10DeviceSettings BuildOptimalD3D10DeviceSettings(const DXUTD3D10DeviceSettings& in,
                                                        const DXUTMatchOptions& options,
                                                        const DXGI_MODE_DESC& desktopMode);
// How well a combination fits the optimal settings; greater is better.
float RankD3D10DeviceCombo(const CD3D10EnumDeviceSettingsCombo& combo,
                           const DXUTD3D10DeviceSettings& optimal);
// The settings made from the chosen combination and the request.
DXUTD3D10DeviceSettings BuildValidD3D10DeviceSettings(const CD3D10EnumDeviceSettingsCombo& combo,
                                                      const DXUTD3D10DeviceSettings& in,
                                                      const DXUTMatchOptions& options,
                                                      const DXGI_MODE_DESC& desktopMode);
// The desktop size of the adapter entry's first output (a zero mode without one).
DXGI_MODE_DESC AdapterDesktopMode(const CD3D10EnumAdapterInfo& adapter);
