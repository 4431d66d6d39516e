#include "gputest/framework/framework.h"

#include "common/platform/module_symbol.h"

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

void ShutdownFramework(int exitCode) { ShutdownFramework(Framework(), exitCode); }

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
      RenderFrameworkFrame(Framework());
    }
  }
  ReleaseDevice(framework);
  framework.d3d10Enumeration.reset();
  framework.factory.reset();
  return framework.exitCode;
}
