// The framework's window procedure: the input gate, the program's callbacks, then the framework's
// own handling of closing, sizing, minimising and the move and size loops.
#include <windowsx.h>

#include "gputest/framework/framework.h"
#include "gputest/framework/input_gate.h"

const wchar_t frameworkWindowClassName[] = L"Direct3DWindowClass";

namespace {
bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
         message == WM_SYSKEYUP;
}

void RecordMouse(FrameworkState& framework, UINT message, WPARAM wParam, LPARAM lParam) {
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  framework.mouseButtons[0] = (keys & MK_LBUTTON) != 0;
  framework.mouseButtons[1] = (keys & MK_MBUTTON) != 0;
  framework.mouseButtons[2] = (keys & MK_RBUTTON) != 0;
  framework.mouseButtons[3] = (keys & MK_XBUTTON1) != 0;
  framework.mouseButtons[4] = (keys & MK_XBUTTON2) != 0;
  if (!framework.callbacks.mouse) return;
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const int wheel = message == WM_MOUSEWHEEL ? GET_WHEEL_DELTA_WPARAM(wParam) : 0;
  if (message == WM_MOUSEWHEEL) {
    // The wheel reports screen coordinates.
    POINT point{x, y};
    ScreenToClient(framework.window, &point);
    x = point.x;
    y = point.y;
  }
  framework.callbacks.mouse(framework.mouseButtons[0], framework.mouseButtons[2],
                            framework.mouseButtons[1], framework.mouseButtons[3],
                            framework.mouseButtons[4], wheel, x, y);
}

// A window whose client area changed size gets a swap chain of the new size (not while minimised).
void ResizeToClientArea(FrameworkState& framework, UINT width, UINT height) {
  if (!framework.swapChain || width == 0 || height == 0) return;
  const DXGI_SURFACE_DESC& current = framework.backBufferSurfaceDesc;
  if (width == current.Width && height == current.Height) return;
  const HRESULT hr = ResizeDXGIBuffers(framework, width, height);
  if (FAILED(hr)) {
    DisplayErrorMessage(framework, hr);
    PostMessageW(framework.window, WM_CLOSE, 0, 0);
  }
}

void ResizeToClientArea(FrameworkState& framework, HWND window) {
  RECT client{};
  if (!GetClientRect(window, &client)) return;
  ResizeToClientArea(framework, static_cast<UINT>(client.right - client.left),
                     static_cast<UINT>(client.bottom - client.top));
}

void HandleSize(FrameworkState& framework, WPARAM wParam, LPARAM lParam) {
  FrameworkPause pause = framework.pause;
  // Nothing is seen while minimised: the frames would only cost time.
  pause.minimized = wParam == SIZE_MINIMIZED;
  SetFrameworkPause(framework, pause);
  // Inside a size loop the swap chain follows once, when the loop ends.
  if (!pause.Paused()) ResizeToClientArea(framework, LOWORD(lParam), HIWORD(lParam));
}

// While the window is dragged or sized no frame is drawn: the clock stops, so the time spent there
// neither lowers the frame rate nor moves the scene on.
void SetInsideSizeMove(FrameworkState& framework, bool inside) {
  FrameworkPause pause = framework.pause;
  pause.insideSizeMove = inside;
  SetFrameworkPause(framework, pause);
}
}  // namespace

void SetFrameworkPause(FrameworkState& framework, const FrameworkPause& pause) {
  framework.pause = pause;
  if (pause.Paused()) {
    framework.clock.Stop();
  } else {
    framework.clock.Resume();
  }
}

LRESULT HandleFrameworkMessage(FrameworkState& framework, bool interactive, HWND window,
                               UINT message, WPARAM wParam, LPARAM lParam) {
  // A measured run takes no keyboard or mouse input: nothing may close, pause or steer it.
  const bool input = IsUserInputMessage(message, framework.reportMouseMoves);
  if (input && !interactive) return 0;

  if (input && IsKeyMessage(message)) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    framework.keys[wParam & 0xFF] = down;
    if (framework.callbacks.keyboard) {
      framework.callbacks.keyboard(static_cast<UINT>(wParam), down, (lParam & (1 << 29)) != 0);
    }
  } else if (input) {
    RecordMouse(framework, message, wParam, lParam);
  }

  if (framework.callbacks.windowMessage) {
    bool noFurtherProcessing = false;
    const LRESULT result =
        framework.callbacks.windowMessage(window, message, wParam, lParam, &noFurtherProcessing);
    if (noFurtherProcessing) return result;
  }

  switch (message) {
    case WM_CLOSE: {
      const HMENU menu = GetMenu(window);
      if (menu != nullptr) DestroyMenu(menu);
      DestroyWindow(window);
      UnregisterClassW(frameworkWindowClassName, framework.instance);
      framework.window = nullptr;
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_SIZE:
      HandleSize(framework, wParam, lParam);
      break;
    // In full screen the window's class cursor does not count: the settings say.
    case WM_SETCURSOR:
      if (IsFullScreen(framework)) {
        SetCursor(FullScreenCursor(framework));
        return TRUE;
      }
      break;
    case WM_ENTERSIZEMOVE:
      SetInsideSizeMove(framework, true);
      break;
    case WM_EXITSIZEMOVE:
      SetInsideSizeMove(framework, false);
      ResizeToClientArea(framework, window);
      break;
    default:
      break;
  }
  if (!framework.callDefaultWindowProc) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}
