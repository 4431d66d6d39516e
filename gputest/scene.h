#pragma once
// The test's scene: the callbacks the framework calls, the hidden user interface, and the frame.
#include <d3d10.h>
#include <dxgi.h>
#include <windows.h>

#include "gputest/framework/device_settings.h"

class CDXUTControl;

// The dialogs and their controls, made once before the framework starts; never drawn in a run.
void CreateSceneUi();

// Every device, adapter, output and format combination the framework offers will do.
bool AcceptAnyDevice(UINT adapterOrdinal, UINT output, D3D10_DRIVER_TYPE driverType,
                     DXGI_FORMAT backBufferFormat, bool windowed, void* context);
// The settings before each device creation: vertical synchronisation off, so the frame rate is
// the device's own.
bool AdjustDeviceSettings(DXUTDeviceSettings* settings);
LRESULT HandleSceneMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           bool* noFurtherProcessing);
void HandleSceneKey(UINT key, bool down, bool alt);
// Moves the camera along its path and turns the arm.
void AdvanceScene(double time, float elapsed);
HRESULT CreateSceneResources(ID3D10Device* device);
HRESULT ResizeScene(ID3D10Device* device, IDXGISwapChain* swapChain,
                    const DXGI_SURFACE_DESC& backBuffer);
// Ends the run when its time is up (writing the result file and shutting the framework down),
// otherwise draws the environment map and the scene's 48 passes.
void DrawFrame(ID3D10Device* device, double time, float elapsed);
void ReleaseSwapChainResources();
void DestroySceneResources();
void HandleGuiEvent(UINT event, int controlId, CDXUTControl* control);
