#include "gputest/scene/scene_ui.h"

#include "gputest/framework/device_toggles.h"

void BuildSceneUi(const SceneUi& ui, const GuiEventCallback& onEvent) {
  ui.settings.Init(&ui.resources);
  ui.hud.Init(&ui.resources);
  ui.sample.Init(&ui.resources);
  ui.hud.SetCallback(onEvent);
  ui.sample.SetCallback(onEvent);
  ui.hud.AddButton(toggleFullScreenId, L"Toggle full screen", 35, 10, 125, 22);
  ui.hud.AddButton(changeDeviceId, L"Change device (F2)", 35, 34, 125, 22, VK_F2);
  ui.hud.AddButton(toggleReferenceId, L"Toggle REF (F3)", 35, 58, 125, 22, VK_F3);
  ui.hud.AddButton(toggleWarpId, L"Toggle WARP (F4)", 35, 82, 125, 22, VK_F4);
  ui.hud.AddCheckBox(useInstancingId, L"Use Instancing", 35, 180, 125, 22, true);
}

void LayOutSceneUi(const SceneUi& ui, int width, int height) {
  ui.hud.SetLocation(width - 170, 0);
  ui.hud.SetSize(170, 170);
  ui.sample.SetLocation(width - 170, height - 300);
  ui.sample.SetSize(170, 300);
}

bool RouteSceneUiMessage(const SceneUi& ui, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
  if (ui.settings.IsActive()) {
    ui.settings.MsgProc(window, message, wParam, lParam);
    return true;
  }
  return ui.hud.MsgProc(window, message, wParam, lParam) ||
         ui.sample.MsgProc(window, message, wParam, lParam);
}

void DrawStatusText(CDXUTTextHelper& writer, const std::wstring& frameStats,
                    const std::wstring& deviceStats) {
  const float yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
  writer.Begin();
  writer.SetInsertionPos(5, 5);
  writer.SetForegroundColor(yellow);
  writer.DrawTextLine(frameStats);
  writer.DrawTextLine(deviceStats);
  writer.End();
}

void DrawSceneUi(const TimedTestRun& run, const SceneUi& ui, CDXUTTextHelper& writer,
                 const FrameworkState& framework, float elapsed) {
  if (!run.interactive) return;
  const bool withFrameRate = framework.syncInterval == 0;
  DrawStatusText(writer,
                 FrameStatsText(framework.frameStatsFacts, withFrameRate,
                                framework.frameRate.frameRate),
                 framework.deviceStats);
  ui.hud.OnRender(elapsed);
  ui.sample.OnRender(elapsed);
}

void ApplySceneUiEvent(FrameworkState& framework, const SceneUi& ui, int controlId,
                       const CDXUTControl* control, bool* useInstancing) {
  switch (controlId) {
    case toggleFullScreenId:
      DXUTToggleFullScreen(framework);
      break;
    case toggleReferenceId:
      DXUTToggleREF(framework);
      break;
    case changeDeviceId:
      ui.settings.SetActive(!ui.settings.IsActive());
      break;
    case useInstancingId:
      if (control != nullptr) *useInstancing = control->checked;
      break;
    case toggleWarpId:
      DXUTToggleWARP(framework);
      break;
    default:
      break;
  }
}
