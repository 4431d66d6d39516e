#include "gputest/framework/framework_errors.h"

#include "gputest/framework/modal_box.h"

FrameworkError FrameworkErrorFor(HRESULT result, bool remoteSession) {
  switch (result) {
    case frameworkNoDirect3D:
      return {2,
              L"Could not initialize Direct3D 10. This application requires a Direct3D 10 class\n"
              L"device (hardware or reference rasterizer) running on Windows Vista (or later)."};
    case frameworkNoCompatibleDevices:
      return {3, remoteSession ? L"Direct3D does not work over a remote session."
                               : L"Could not find any compatible Direct3D devices."};
    case frameworkMediaNotFound:
      return {4, L"Could not find required media."};
    case frameworkNonZeroRefCount:
      return {5, L"The Direct3D device was released while still in use."};
    case frameworkCreatingDevice:
      return {6, L"Failed creating the Direct3D device."};
    case frameworkResettingDevice:
      return {7, L"Failed resetting the Direct3D device."};
    case frameworkCreatingDeviceObjects:
      return {8, L"An error occurred in the device create callback function."};
    case frameworkResettingDeviceObjects:
      return {9, L"An error occurred in the device reset callback function."};
    case frameworkDeviceRemoved:
      return {11, L"The Direct3D device was removed."};
    default:
      return {};
  }
}

bool DisplayFrameworkError(HRESULT result, const std::wstring& windowTitle, bool showBoxes,
                           int* exitCode, const UserMessages& messages) {
  const FrameworkError error = FrameworkErrorFor(result, GetSystemMetrics(SM_REMOTESESSION) != 0);
  if (error.exitCode == 0) return false;
  *exitCode = error.exitCode;
  if (showBoxes) {
    // The failures that end a run are shown after its quit is posted; the box waits all the same.
    ShowModalBox(messages, nullptr, error.message,
                 windowTitle.empty() ? L"DXUT Application" : windowTitle, MB_ICONERROR | MB_OK);
  }
  return true;
}
