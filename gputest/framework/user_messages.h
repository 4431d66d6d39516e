#pragma once
// The two ways the graphics test speaks to a person: the debugger and a message box. Both go
// through this seam so that every message can be seen, and no box waits, where the test is driven
// by another program.
#include <windows.h>

#include <functional>
#include <string>

struct UserMessages {
  std::function<void(const std::wstring& text)> debugOutput = [](const std::wstring& text) {
    OutputDebugStringW(text.c_str());
  };
  // Shows a modal box and returns when it is closed.
  std::function<void(HWND owner, const std::wstring& text, const std::wstring& caption,
                     UINT style)>
      messageBox = [](HWND owner, const std::wstring& text, const std::wstring& caption,
                      UINT style) { MessageBoxW(owner, text.c_str(), caption.c_str(), style); };
};
