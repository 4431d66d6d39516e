// The cursor while the device is full screen: shown or hidden, and kept inside the window, which
// then covers the output. The framework lifts only a clip it set itself, so a clip that another
// program holds stays in force.
#include "gputest/framework/framework.h"

HCURSOR FullScreenCursor(const FrameworkState& framework) {
  return framework.cursor.showWhenFullScreen
             ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))
             : nullptr;
}

void DXUTSetCursorSettings(FrameworkState& framework, bool showCursorWhenFullScreen,
                           bool clipCursorWhenFullScreen) {
  framework.cursor.showWhenFullScreen = showCursorWhenFullScreen;
  framework.cursor.clipWhenFullScreen = clipCursorWhenFullScreen;
  if (framework.device) SetUpCursor(framework);
}

void SetUpCursor(FrameworkState& framework) {
  if (!IsFullScreen(framework)) {
    ReleaseCursorClip(framework);
    return;
  }
  SetCursor(FullScreenCursor(framework));
  RECT window{};
  if (framework.cursor.clipWhenFullScreen && framework.window != nullptr &&
      GetWindowRect(framework.window, &window)) {
    framework.cursor.clipped = ClipCursor(&window) != FALSE;
  } else {
    ReleaseCursorClip(framework);
  }
}

void ReleaseCursorClip(FrameworkState& framework) {
  if (!framework.cursor.clipped) return;
  ClipCursor(nullptr);
  framework.cursor.clipped = false;
}
