// ZORTA: the suite's graphics test. It renders for four seconds on the adapter the run engine names
// and leaves the frame rate in "ZORTA.dat".
#include <windows.h>

#include "gputest/framework/framework.h"
#include "gputest/process_globals.h"
#include "gputest/scene.h"
#include "gputest/test_run_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  FrameworkState& framework = Framework();
  framework.trace = WriteTraceLine;
  // The measured run's window takes no input; only the dummy run's flag could let it in.
  framework.interactive = [] { return dummyRun.interactive; };
  framework.callbacks.modifyDeviceSettings = AdjustDeviceSettings;
  framework.callbacks.windowMessage = HandleSceneMessage;
  framework.callbacks.keyboard = HandleSceneKey;
  framework.callbacks.frameMove = AdvanceScene;
  framework.isD3D10DeviceAcceptable = AcceptAnyDevice;
  framework.callbacks.deviceCreated = CreateSceneResources;
  framework.callbacks.swapChainResized = ResizeScene;
  framework.callbacks.frameRender = DrawFrame;
  framework.callbacks.swapChainReleasing = ReleaseSwapChainResources;
  framework.callbacks.deviceDestroyed = DestroySceneResources;

  CreateSceneUi();
  InitFramework(true, true);
  return RunOnNamedAdapter(framework);
}
