// The main loop's frame and the framework's shutdown: what a run does between messages, a device
// lost on the way, and the end with its exit code.
#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"

namespace {
// A device removed or reset is made anew from the settings it had, through the callbacks. The
// DXGI factory goes with it: the old one may still list an adapter that is gone.
HRESULT RemakeLostDevice(FrameworkState& framework) {
  ReleaseDevice(framework);
  framework.factory.reset();
  return DXUTCreate3DEnvironment10(framework);
}
}  // namespace

void RenderFrameworkFrame(FrameworkState& framework) {
  // A minimised window, or one inside a move or size loop, draws nothing until it is restored or
  // let go.
  if (framework.window == nullptr || framework.pause.Paused()) {
    Sleep(50);
    return;
  }
  const double time = framework.clock.Now();
  const float elapsed = static_cast<float>(time - framework.lastFrameTime);
  framework.lastFrameTime = time;
  framework.frameRate.CountFrame(time);
  if (framework.callbacks.frameMove) framework.callbacks.frameMove(time, elapsed);
  if (framework.callbacks.frameRender) {
    framework.callbacks.frameRender(framework.device.get(), time, elapsed);
  }
  if (!framework.swapChain) return;  // the frame shut the framework down
  const HRESULT presented = framework.platform.present(framework.swapChain.get(),
                                                       framework.syncInterval);
  if (presented != DXGI_ERROR_DEVICE_REMOVED && presented != DXGI_ERROR_DEVICE_RESET) return;
  // One new device per run: a device lost again, or one that cannot be made anew, ends it.
  if (!framework.deviceRemade) {
    framework.deviceRemade = true;
    if (SUCCEEDED(RemakeLostDevice(framework))) return;
    ReleaseDevice(framework);
  }
  DisplayErrorMessage(framework, frameworkDeviceRemoved);
  ShutdownFramework(framework, 0);
}

void ShutdownFramework(FrameworkState& framework, int exitCode) {
  // An earlier failure keeps its code.
  if (NoFailureYet(framework)) framework.exitCode = exitCode;
  if (framework.window != nullptr) SendMessageW(framework.window, WM_CLOSE, 0, 0);
  ReleaseDevice(framework);
}
