#include "gputest/framework/modal_box.h"

void ShowModalBox(const UserMessages& messages, HWND owner, const std::wstring& text,
                  const std::wstring& caption, UINT style) {
  MSG quit{};
  const bool quitPending = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  messages.messageBox(owner, text, caption, style);
  if (quitPending) PostQuitMessage(static_cast<int>(quit.wParam));
}
