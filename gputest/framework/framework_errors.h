#pragma once
// The framework's failure results, the exit code and message each one stands for, and the error
// display that shows them.
#include <windows.h>

#include <string>

#include "gputest/framework/user_messages.h"

constexpr HRESULT frameworkNoDirect3D = static_cast<HRESULT>(0x80040901);
constexpr HRESULT frameworkNoCompatibleDevices = static_cast<HRESULT>(0x80040902);
constexpr HRESULT frameworkMediaNotFound = static_cast<HRESULT>(0x80040903);
constexpr HRESULT frameworkNonZeroRefCount = static_cast<HRESULT>(0x80040904);
constexpr HRESULT frameworkCreatingDevice = static_cast<HRESULT>(0x80040905);
constexpr HRESULT frameworkResettingDevice = static_cast<HRESULT>(0x80040906);
constexpr HRESULT frameworkCreatingDeviceObjects = static_cast<HRESULT>(0x80040907);
constexpr HRESULT frameworkResettingDeviceObjects = static_cast<HRESULT>(0x80040908);
constexpr HRESULT frameworkDeviceRemoved = static_cast<HRESULT>(0x8004090A);

struct FrameworkError {
  int exitCode = 0;  // 0: a result the display has no message for
  std::wstring message;
};

// What the error display shows for a result; remoteSession picks the remote-desktop text for the
// no-compatible-devices result.
FrameworkError FrameworkErrorFor(HRESULT result, bool remoteSession);

// The display itself: sets the exit code for a result it knows and, unless boxes are switched off,
// shows its message with the error icon, titled with the window title or "DXUT Application", and
// waits for the box even when the run's quit is already pending. Returns whether it knew the
// result.
bool DisplayFrameworkError(HRESULT result, const std::wstring& windowTitle, bool showBoxes,
                           int* exitCode, const UserMessages& messages = {});
