#include "gputest/scene.h"

#include "gputest/framework/framework.h"
#include "gputest/process_globals.h"

bool AcceptAnyDevice(UINT, UINT, D3D10_DRIVER_TYPE, DXGI_FORMAT, bool, void*) { return true; }

bool AdjustDeviceSettings(DXUTDeviceSettings* settings) {
  settings->d3d10.SyncInterval = 0;
  return true;
}

void DrawFrame(ID3D10Device* device, double time, float elapsed) {
  if (testRun.CheckTestStop(testStopClock, FrameRate())) {
    const std::wstring deviceStats = DeviceStats();
    const float frameRate = FrameRate();
    const std::wstring frameStats = FrameStats(true);
    ShutdownFramework(testRun.WriteGpuTestResultFile(frameRate, frameStats, deviceStats));
    return;
  }
  const float clearColor[4] = {0.0f, 1.0f, 1.0f, 0.0f};
  device->ClearRenderTargetView(Framework().renderTargetView.get(), clearColor);
}
