#pragma once
// The test's frame callbacks.
#include <d3d10.h>

#include "gputest/framework/device_settings.h"

// Every device, adapter, output and format combination the framework offers will do.
bool AcceptAnyDevice(UINT adapterOrdinal, UINT output, D3D10_DRIVER_TYPE driverType,
                     DXGI_FORMAT backBufferFormat, bool windowed, void* context);
// The settings before each device creation: vertical synchronisation off, so the frame rate is
// the device's own.
bool AdjustDeviceSettings(DXUTDeviceSettings* settings);

// Ends the run when its time is up (writing the result file and shutting the framework down),
// otherwise clears the back buffer for the framework to present.
void DrawFrame(ID3D10Device* device, double time, float elapsed);
