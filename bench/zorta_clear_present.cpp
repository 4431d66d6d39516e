// The yardstick of bench/zorta_bench: ZORTA's framework, device and timed run with a frame that
// only clears the back buffer, so the scene's frame rate can be set against the bare
// clear-and-present rate of the same adapter.
#include <windows.h>

#include "gputest/framework/framework.h"
#include "gputest/scene.h"
#include "gputest/test_run_loop.h"

namespace {
void ClearFrame(ID3D10Device* device, double, float) {
  if (EndTimedRunWhenDue()) return;
  const float colour[4] = {0.0f, 1.0f, 1.0f, 0.0f};
  device->ClearRenderTargetView(Framework().renderTargetView.get(), colour);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  FrameworkState& framework = Framework();
  framework.callbacks.modifyDeviceSettings = AdjustDeviceSettings;
  framework.isD3D10DeviceAcceptable = AcceptAnyDevice;
  framework.callbacks.frameRender = ClearFrame;
  InitFramework(true, true);
  return RunOnNamedAdapter(framework);
}
