#pragma once
// The scene's user interface of an interactive run: the settings dialog, the HUD dialog with its
// buttons and check box, the empty sample dialog, and the status text. A timed run builds and lays
// it out but never draws it, and the window's input gate keeps every key and button from it.
#include <windows.h>

#include <string>

#include "gputest/framework/dialogs.h"
#include "gputest/framework/framework.h"
#include "gputest/framework/text_writer.h"
#include "gputest/timed_test_run.h"

// The HUD's controls.
constexpr int toggleFullScreenId = 1;
constexpr int toggleReferenceId = 3;
constexpr int changeDeviceId = 4;
constexpr int useInstancingId = 6;
constexpr int toggleWarpId = 7;

struct SceneUi {
  CDXUTDialogResourceManager& resources;
  CD3DSettingsDlg& settings;
  CDXUTDialog& hud;
  CDXUTDialog& sample;
};

// Joins the dialogs to the resource manager, gives the two test dialogs onEvent and the HUD its
// four buttons and the check box "Use Instancing" (on).
void BuildSceneUi(const SceneUi& ui, const GuiEventCallback& onEvent);
// The HUD at the top right (170 x 170), the sample dialog above the bottom right (170 x 300).
void LayOutSceneUi(const SceneUi& ui, int width, int height);
// Gives a message to the settings dialog while it is active (which takes them all), otherwise to
// the HUD and then the sample dialog; true when one of them took it.
bool RouteSceneUiMessage(const SceneUi& ui, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam);
// From (5, 5) in yellow: the frame statistics and the device statistics, a line each.
void DrawStatusText(CDXUTTextHelper& writer, const std::wstring& frameStats,
                    const std::wstring& deviceStats);
// Only in an interactive run: the status text (the frame statistics with the frame rate when
// vertical synchronisation is off), then the HUD and the sample dialog.
void DrawSceneUi(const TimedTestRun& run, const SceneUi& ui, CDXUTTextHelper& writer,
                 const FrameworkState& framework, float elapsed);
// What a control does: full screen, the reference or WARP device, the settings dialog shown or
// hidden, instancing on or off as its check box says.
void ApplySceneUiEvent(FrameworkState& framework, const SceneUi& ui, int controlId,
                       const CDXUTControl* control, bool* useInstancing);
