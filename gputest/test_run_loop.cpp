#include "gputest/test_run_loop.h"

#include <string>

#include "gputest/adapter_output.h"
#include "gputest/process_globals.h"

bool EndTimedRunWhenDue() {
  if (!testRun.CheckTestStop(testStopClock, FrameRate())) return false;
  const std::wstring deviceStats = DeviceStats();
  const float frameRate = FrameRate();
  const std::wstring frameStats = FrameStats(true);
  ShutdownFramework(testRun.WriteGpuTestResultFile(frameRate, frameStats, deviceStats));
  return true;
}

int RunOnNamedAdapter(FrameworkState& framework) {
  if (!FindAdapterOutput(&framework.overrides.adapterOverride,
                         &framework.overrides.outputOverride, framework.showMessageBoxes)) {
    return 66;
  }
  DXUTSetCursorSettings(framework, true, true);
  CreateFrameworkWindow(L"Vantrel");
  DXUTCreateDevice(framework, true, 1280, 720);
  return RunMainLoop();
}
