#include "gputest/framework/framework.h"

#include "common/platform/module_symbol.h"
#include "gputest/framework/framework_errors.h"

FrameworkState& Framework() {
  static FrameworkState state;
  return state;
}

void InitFramework(bool parseCommandLine, bool showMessageBoxes) {
  FrameworkState& framework = Framework();
  if (parseCommandLine) framework.overrides = ParseFrameworkCommandLine(GetCommandLineW());
  framework.showMessageBoxes = showMessageBoxes && !framework.overrides.noErrorMessageBoxes;
  framework.instance = GetModuleHandleW(nullptr);
  framework.createWindow = CreateFrameworkWindow;
  // Older systems lack it; there the window is simply scaled.
  using SetDpiAware = BOOL(WINAPI*)();
  if (auto setDpiAware = LookUpLoadedSymbol<SetDpiAware>("user32.dll", "SetProcessDPIAware")) {
    setDpiAware();
  }
}

float FrameRate() { return Framework().frameRate.frameRate; }

std::wstring FrameStats(bool withFrameRate) {
  return FrameStatsText(Framework().frameStatsFacts, withFrameRate, FrameRate());
}

std::wstring DeviceStats() { return Framework().deviceStats; }

void ShutdownFramework(int exitCode) {
  FrameworkState& framework = Framework();
  framework.exitCode = exitCode;
  if (framework.window != nullptr) SendMessageW(framework.window, WM_CLOSE, 0, 0);
  ReleaseDevice(framework);
}

namespace {
void RenderFrame() {
  FrameworkState& framework = Framework();
  // A minimised or paused window draws nothing until it is restored or let go.
  if (framework.window == nullptr || IsIconic(framework.window) || framework.pauseCount > 0) {
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
  const HRESULT presented = framework.swapChain->Present(framework.syncInterval, 0);
  if (presented == DXGI_ERROR_DEVICE_REMOVED || presented == DXGI_ERROR_DEVICE_RESET) {
    DisplayErrorMessage(framework, frameworkDeviceRemoved);
    const int code = framework.exitCode;
    ShutdownFramework(code);
  }
}
}  // namespace

int RunMainLoop() {
  FrameworkState& framework = Framework();
  if (!framework.device || framework.window == nullptr) {
    // Nothing to render: whatever failed has set the exit code.
    if (framework.window != nullptr) SendMessageW(framework.window, WM_CLOSE, 0, 0);
    ReleaseDevice(framework);
    framework.d3d10Enumeration.reset();
    framework.factory.reset();
    return framework.exitCode;
  }
  framework.clock.Start();
  MSG message{};
  while (message.message != WM_QUIT) {
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    } else {
      RenderFrame();
    }
  }
  ReleaseDevice(framework);
  framework.d3d10Enumeration.reset();
  framework.factory.reset();
  return framework.exitCode;
}
