#pragma once
// The framework's message boxes. A modal box ends at once while a quit message is pending on its
// thread, as one is at the end of a run once the window has gone; such a box would flash past
// unread. So the pending quit is taken off the queue for the box and posted again after it.
#include <windows.h>

#include <string>

#include "gputest/framework/user_messages.h"

// Shows the box through messages with no quit pending and returns when it is closed; a quit that
// was pending is pending again afterwards, with its exit code.
void ShowModalBox(const UserMessages& messages, HWND owner, const std::wstring& text,
                  const std::wstring& caption, UINT style);
