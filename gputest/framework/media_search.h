#pragma once
// The framework's search for media files such as effects and meshes.
#include <windows.h>

#include "gputest/framework/user_messages.h"

// Looks for name in the usual places around the working directory and the executable, then in a
// "media" folder there, then upwards from both. Fills path (MAX_PATH characters) with the first
// that exists and returns S_OK; returns E_INVALIDARG for a missing or empty name or a missing
// buffer; otherwise copies the name into path, tells the debugger and returns the framework's
// media-not-found result.
HRESULT FindMediaFile(wchar_t* path, const wchar_t* name, const UserMessages& messages = {});
