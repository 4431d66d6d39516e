#pragma once
// The framework's device toggles of an interactive run: full screen and windowed, the reference
// rasteriser and the hardware device, the software (WARP) device. Each makes the device anew from
// the current settings with one thing changed; when that fails it goes back to the settings that
// worked, and when that fails too the window closes.
#include "gputest/framework/framework.h"

HRESULT DXUTToggleFullScreen(FrameworkState& framework);
HRESULT DXUTToggleREF(FrameworkState& framework);
HRESULT DXUTToggleWARP(FrameworkState& framework);
