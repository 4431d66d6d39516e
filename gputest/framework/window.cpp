#include <windowsx.h>

#include "gputest/framework/framework.h"
#include "gputest/framework/input_gate.h"
#include "gputest/process_globals.h"

namespace {
const wchar_t windowClassName[] = L"Direct3DWindowClass";

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
void ResizeToClientArea(FrameworkState& framework, WPARAM wParam, LPARAM lParam) {
  const UINT width = LOWORD(lParam), height = HIWORD(lParam);
  if (wParam == SIZE_MINIMIZED || !framework.swapChain || width == 0 || height == 0) return;
  const DXGI_SURFACE_DESC& current = framework.backBufferSurfaceDesc;
  if (width == current.Width && height == current.Height) return;
  const HRESULT hr = ResizeDXGIBuffers(framework, width, height);
  if (FAILED(hr)) {
    DisplayErrorMessage(framework, hr);
    PostMessageW(framework.window, WM_CLOSE, 0, 0);
  }
}
}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FrameworkState& framework = Framework();
  // A measured run takes no keyboard or mouse input: nothing may close, pause or steer it.
  const bool input = IsUserInputMessage(message, framework.reportMouseMoves);
  if (input && !dummyRun.interactive) return 0;

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
      UnregisterClassW(windowClassName, framework.instance);
      framework.window = nullptr;
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_SIZE:
      ResizeToClientArea(framework, wParam, lParam);
      break;
    default:
      break;
  }
  if (!framework.callDefaultWindowProc) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

HRESULT CreateFrameworkWindow(const wchar_t* title) {
  FrameworkState& framework = Framework();
  if (framework.window != nullptr) return S_OK;
  framework.windowCreateAttempted = true;
  if (framework.instance == nullptr) framework.instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = FrameworkWindowProc;
  windowClass.hInstance = framework.instance;
  windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = windowClassName;
  if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return HRESULT_FROM_WIN32(GetLastError());
  }
  framework.windowTitle = title;
  // The client area has the size of the back buffer the test asks for.
  const int width = framework.overrides.widthOverride > 0 ? framework.overrides.widthOverride : 1280;
  const int height =
      framework.overrides.heightOverride > 0 ? framework.overrides.heightOverride : 720;
  RECT rect{0, 0, width, height};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  framework.window = CreateWindowW(windowClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                                   nullptr, nullptr, framework.instance, nullptr);
  if (framework.window == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  ShowWindow(framework.window, SW_SHOWNORMAL);
  return S_OK;
}
