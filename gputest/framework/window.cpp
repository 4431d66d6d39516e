#include "gputest/framework/framework.h"

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FrameworkState& framework = Framework();
  return HandleFrameworkMessage(framework, framework.interactive(), window, message, wParam,
                                lParam);
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
  windowClass.lpszClassName = frameworkWindowClassName;
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
  framework.window = CreateWindowW(frameworkWindowClassName, title, WS_OVERLAPPEDWINDOW,
                                   CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                   rect.bottom - rect.top, nullptr, nullptr, framework.instance,
                                   nullptr);
  if (framework.window == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  ShowWindow(framework.window, SW_SHOWNORMAL);
  return S_OK;
}
