// The scene's user interface of an interactive run, on a test run object of its own: the status
// text and the dialogs drawn through a recording text drawing, the HUD's keys, clicks and toggles,
// and D3DX10's font and sprite behind the real drawing.
#include <gtest/gtest.h>

#include <d3d10.h>

#include <array>
#include <string>
#include <vector>

#include "gputest/framework/framework.h"
#include "gputest/framework/text_writer.h"
#include "gputest/scene/scene_ui.h"
#include "gputest/timed_test_run.h"

namespace {

// What the text drawing was asked for, in order: "begin", a drawn text, "end".
struct DrawnText {
  std::wstring text;  // "begin" and "end" for the batch's ends
  RECT rect;
  UINT format;
  std::array<float, 4> colour;
};

bool operator==(const DrawnText& a, const DrawnText& b) {
  return a.text == b.text && EqualRect(&a.rect, &b.rect) && a.format == b.format &&
         a.colour == b.colour;
}

std::ostream& operator<<(std::ostream& out, const DrawnText& d) {
  out << std::string(d.text.begin(), d.text.end()) << " (" << d.rect.left << ", " << d.rect.top
      << ", " << d.rect.right << ", " << d.rect.bottom << ") format " << d.format << " colour "
      << d.colour[0] << " " << d.colour[1] << " " << d.colour[2] << " " << d.colour[3];
  return out;
}

const DrawnText beginBatch{L"begin", {}, 0, {}};
const DrawnText endBatch{L"end", {}, 0, {}};
constexpr std::array<float, 4> yellow{1, 1, 0, 1};
constexpr std::array<float, 4> white{1, 1, 1, 1};
constexpr UINT buttonFormat = DT_CENTER | DT_VCENTER | DT_NOCLIP;
constexpr UINT checkBoxFormat = DT_LEFT | DT_VCENTER | DT_NOCLIP;

class RecordingText {
 public:
  TextDrawing Drawing() {
    TextDrawing drawing;
    drawing.begin = [this] { drawn.push_back(beginBatch); };
    drawing.draw = [this](const std::wstring& text, const RECT& rect, UINT format,
                          const float colour[4]) {
      drawn.push_back({text, rect, format, {colour[0], colour[1], colour[2], colour[3]}});
    };
    drawing.end = [this] { drawn.push_back(endBatch); };
    return drawing;
  }
  std::vector<DrawnText> drawn;
};

// The scene's dialogs on a 1280 x 720 back buffer, their events applied to a framework of the
// test's own, and a window whose messages go through the framework's window procedure.
class InteractiveUi : public ::testing::Test {
 protected:
  InteractiveUi() {
    window = CreateWindowW(L"STATIC", L"ZORTA interface test", WS_OVERLAPPEDWINDOW, 0, 0, 1296,
                           759, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    framework.window = window;
    BuildSceneUi(ui, [this](UINT, int controlId, CDXUTControl* control) {
      ApplySceneUiEvent(framework, ui, controlId, control, &useInstancing);
    });
    LayOutSceneUi(ui, 1280, 720);
    resources.SetTextDrawing(text.Drawing());
    framework.callbacks.windowMessage = [this](HWND w, UINT message, WPARAM wParam,
                                               LPARAM lParam, bool* noFurtherProcessing) {
      *noFurtherProcessing = RouteSceneUiMessage(ui, w, message, wParam, lParam);
      return LRESULT{0};
    };
    framework.frameStatsFacts = {false, 1280, 720, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, 1, 0};
    framework.frameRate.frameRate = 59.94f;
    framework.deviceStats = L"HARDWARE: Wine test adapter";
  }
  ~InteractiveUi() override {
    ReleaseDevice(framework);
    framework.d3d10Enumeration.reset();
    DestroyWindow(window);
  }

  void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    HandleFrameworkMessage(framework, run.interactive, window, message, wParam, lParam);
  }
  void Click(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }

  HWND window = nullptr;
  TimedTestRun run{"ZORTA"};
  CDXUTDialogResourceManager resources;
  CD3DSettingsDlg settings;
  CDXUTDialog hud;
  CDXUTDialog sample;
  SceneUi ui{resources, settings, hud, sample};
  RecordingText text;
  CDXUTTextHelper writer{text.Drawing(), 15};
  bool useInstancing = true;
  FrameworkState framework;
};

TEST_F(InteractiveUi, TheStatusTextAndTheDialogsAreDrawnOnlyInAnInteractiveRun) {
  DrawSceneUi(run, ui, writer, framework, 0.016f);
  EXPECT_TRUE(text.drawn.empty());

  run.interactive = true;
  DrawSceneUi(run, ui, writer, framework, 0.016f);
  const std::vector<DrawnText> expected = {
      beginBatch,
      {L"D3D10 59.94 fps Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)", {5, 5, 0, 0},
       DT_NOCLIP, yellow},
      {L"HARDWARE: Wine test adapter", {5, 20, 0, 0}, DT_NOCLIP, yellow},
      endBatch,
      // The HUD at the top right of the back buffer, its controls in their places.
      beginBatch,
      {L"Toggle full screen", {1145, 10, 1270, 32}, buttonFormat, white},
      {L"Change device (F2)", {1145, 34, 1270, 56}, buttonFormat, white},
      {L"Toggle REF (F3)", {1145, 58, 1270, 80}, buttonFormat, white},
      {L"Toggle WARP (F4)", {1145, 82, 1270, 104}, buttonFormat, white},
      {L"\x25A0 Use Instancing", {1145, 180, 1270, 202}, checkBoxFormat, white},
      endBatch,
      // The sample dialog has no controls.
      beginBatch,
      endBatch,
  };
  EXPECT_EQ(text.drawn, expected);
}

TEST_F(InteractiveUi, TheFrameStatisticsCarryTheFrameRateOnlyWhileVsyncIsOff) {
  struct Case {
    UINT syncInterval;
    std::wstring firstLine;
  };
  const Case cases[] = {
      {0, L"D3D10 59.94 fps Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)"},
      {1, L"D3D10 Vsync on (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)"},
  };
  run.interactive = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.syncInterval);
    text.drawn.clear();
    framework.syncInterval = c.syncInterval;
    framework.frameStatsFacts.vsync = c.syncInterval != 0;
    DrawSceneUi(run, ui, writer, framework, 0.016f);
    ASSERT_GE(text.drawn.size(), 2u);
    EXPECT_EQ(text.drawn[1].text, c.firstLine);
  }
}

TEST_F(InteractiveUi, TheHudsKeysAndClicksToggleTheSettingsDialogAndInstancingOnlyWhenInteractive) {
  // A timed run: F2 and a click on the check box reach nothing.
  Send(WM_KEYDOWN, VK_F2);
  Click(1145 + 5, 180 + 5);
  EXPECT_FALSE(settings.IsActive());
  EXPECT_TRUE(useInstancing);

  run.interactive = true;
  Click(1145 + 5, 180 + 5);
  EXPECT_FALSE(useInstancing);
  EXPECT_FALSE(hud.GetControl(useInstancingId)->checked);
  Click(1145 + 5, 180 + 5);
  EXPECT_TRUE(useInstancing);

  // F2 shows the settings dialog, which then takes every message, and F2 there hides it again.
  Send(WM_KEYDOWN, VK_F2);
  EXPECT_TRUE(settings.IsActive());
  Click(1145 + 5, 180 + 5);
  EXPECT_TRUE(useInstancing);
  Send(WM_KEYDOWN, VK_F2);
  EXPECT_FALSE(settings.IsActive());
  // So does a click on "Change device (F2)".
  Click(1145 + 60, 34 + 10);
  EXPECT_TRUE(settings.IsActive());
}

bool AcceptAll(UINT, UINT, D3D10_DRIVER_TYPE, DXGI_FORMAT, bool, void*) { return true; }

// The same interface on a framework with a device on Wine's adapter. Wine makes hardware devices
// only, so the platform makes one whatever driver type is asked for, and keeps what was asked;
// refuse names a driver type it fails.
class InteractiveUiOnDevice : public InteractiveUi {
 protected:
  InteractiveUiOnDevice() {
    framework.isD3D10DeviceAcceptable = AcceptAll;
    framework.messages.messageBox = [this](HWND, const std::wstring& message,
                                           const std::wstring&, UINT) { boxes.push_back(message); };
    framework.overrides.adapterOverride = 0;
    framework.overrides.outputOverride = 0;
    framework.overrides.forceHal = true;
    framework.overrides.widthOverride = 1280;
    framework.overrides.heightOverride = 720;
    framework.callbacks.deviceCreated = [this](ID3D10Device*) {
      ++created;
      return S_OK;
    };
    framework.callbacks.deviceDestroyed = [this] { ++destroyed; };
    framework.platform.createDevice1 = [this](IDXGIAdapter* adapter, D3D10_DRIVER_TYPE type,
                                              HMODULE, UINT flags,
                                              ComPtr<ID3D10Device1>* device) {
      asked.push_back(type);
      if (type == refuse) return E_FAIL;
      return real.createDevice1(adapter, D3D10_DRIVER_TYPE_HARDWARE, nullptr, flags, device);
    };
    framework.platform.createDevice = [this](IDXGIAdapter*, D3D10_DRIVER_TYPE type, HMODULE,
                                             UINT, ComPtr<ID3D10Device>*) {
      return type == refuse ? E_FAIL : E_UNEXPECTED;
    };
  }

  DevicePlatform real;
  D3D10_DRIVER_TYPE refuse = D3D10_DRIVER_TYPE_NULL;
  std::vector<D3D10_DRIVER_TYPE> asked;
  std::vector<std::wstring> boxes;
  int created = 0, destroyed = 0;
};

TEST_F(InteractiveUiOnDevice, TheReferenceAndWarpTogglesMakeTheDeviceAnewWithThatDriverType) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  ASSERT_EQ(asked, std::vector<D3D10_DRIVER_TYPE>{D3D10_DRIVER_TYPE_HARDWARE});
  struct Step {
    UINT key;
    D3D10_DRIVER_TYPE type;
    std::wstring stats;  // the device statistics' start
    int exitCode;
  };
  const Step steps[] = {
      {VK_F3, D3D10_DRIVER_TYPE_REFERENCE, L"REFERENCE", 10},
      {VK_F3, D3D10_DRIVER_TYPE_HARDWARE, L"HARDWARE: ", 0},
      {VK_F4, D3D10_DRIVER_TYPE_SOFTWARE, L"WARP", 0},
      {VK_F3, D3D10_DRIVER_TYPE_REFERENCE, L"REFERENCE", 10},
      {VK_F4, D3D10_DRIVER_TYPE_SOFTWARE, L"WARP", 10},
      {VK_F4, D3D10_DRIVER_TYPE_HARDWARE, L"HARDWARE: ", 0},
  };
  // In a timed run the keys reach nothing.
  Send(WM_KEYDOWN, VK_F3);
  EXPECT_EQ(asked.size(), 1u);

  run.interactive = true;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.stats);
    const int createdBefore = created, destroyedBefore = destroyed;
    asked.clear();
    Send(WM_KEYDOWN, step.key);
    EXPECT_EQ(asked, std::vector<D3D10_DRIVER_TYPE>{step.type});
    EXPECT_EQ(framework.currentSettings.d3d10.DriverType, step.type);
    EXPECT_EQ(framework.deviceStats.substr(0, step.stats.size()), step.stats);
    EXPECT_EQ(framework.exitCode, step.exitCode);
    EXPECT_EQ(created, createdBefore + 1);
    EXPECT_EQ(destroyed, destroyedBefore + 1);
    EXPECT_TRUE(framework.device);
    EXPECT_TRUE(framework.swapChain);
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(InteractiveUiOnDevice, ADeviceTheToggleCannotMakeGivesWayToTheOneThatWorked) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  run.interactive = true;
  refuse = D3D10_DRIVER_TYPE_REFERENCE;
  asked.clear();
  Send(WM_KEYDOWN, VK_F3);
  EXPECT_EQ(asked, (std::vector<D3D10_DRIVER_TYPE>{D3D10_DRIVER_TYPE_REFERENCE,
                                                   D3D10_DRIVER_TYPE_HARDWARE}));
  EXPECT_EQ(boxes, std::vector<std::wstring>{L"Failed creating the Direct3D device."});
  EXPECT_EQ(framework.currentSettings.d3d10.DriverType, D3D10_DRIVER_TYPE_HARDWARE);
  EXPECT_TRUE(framework.device);
  EXPECT_TRUE(framework.swapChain);
  EXPECT_EQ(framework.deviceStats.substr(0, 10), L"HARDWARE: ");
  // The window stays: the run goes on with the device it had.
  MSG message{};
  EXPECT_FALSE(PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
}

TEST_F(InteractiveUiOnDevice, TheFullScreenToggleGoesToTheOutputsDesktopSizeAndBack) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  ASSERT_FALSE(framework.outputs.empty());
  DXGI_OUTPUT_DESC output{};
  ASSERT_EQ(framework.outputs[0]->GetDesc(&output), S_OK);
  const RECT& desktop = output.DesktopCoordinates;
  run.interactive = true;
  Click(1145 + 60, 10 + 10);
  DXGI_SWAP_CHAIN_DESC desc{};
  ASSERT_TRUE(framework.swapChain);
  framework.swapChain->GetDesc(&desc);
  EXPECT_FALSE(desc.Windowed);
  EXPECT_EQ(desc.BufferDesc.Width, static_cast<UINT>(desktop.right - desktop.left));
  EXPECT_EQ(desc.BufferDesc.Height, static_cast<UINT>(desktop.bottom - desktop.top));
  Click(1145 + 60, 10 + 10);
  ASSERT_TRUE(framework.swapChain);
  framework.swapChain->GetDesc(&desc);
  EXPECT_TRUE(desc.Windowed);
  EXPECT_EQ(desc.BufferDesc.Width, 1280u);
  EXPECT_EQ(desc.BufferDesc.Height, 720u);
  EXPECT_TRUE(boxes.empty());
}

TEST(FontOnDevice, TheFontAndSpriteAnswerThroughTheDeclaredInterfaces) {
  ComPtr<ID3D10Device> device;
  ASSERT_EQ(D3D10CreateDevice(nullptr, D3D10_DRIVER_TYPE_HARDWARE, nullptr, 0, D3D10_SDK_VERSION,
                              device.out()),
            S_OK);
  FontAndSprite made;
  ASSERT_EQ(CreateFontAndSprite(device.get(), L"Arial", 15, FW_BOLD, 1, 512, &made), S_OK);
  D3DX10FontDescW desc{};
  EXPECT_EQ(made.font->GetDescW(&desc), S_OK);
  EXPECT_EQ(desc.Height, 15);
  EXPECT_EQ(desc.Weight, 700u);
  EXPECT_EQ(desc.CharSet, 1);
  EXPECT_EQ(std::wstring(desc.FaceName), L"Arial");
  ComPtr<ID3D10Device> fontDevice, spriteDevice;
  EXPECT_EQ(made.font->GetDevice(fontDevice.out()), S_OK);
  EXPECT_EQ(fontDevice.get(), device.get());
  EXPECT_EQ(made.sprite->GetDevice(spriteDevice.out()), S_OK);
  EXPECT_EQ(spriteDevice.get(), device.get());

  // The status text through the real font: Wine's sprite and text drawing are stubs that draw
  // nothing, so this shows only that each call lands on its method and returns.
  CDXUTTextHelper fontWriter(FontDrawing(made), 15);
  DrawStatusText(fontWriter, L"D3D10 Vsync off", L"HARDWARE: Wine");
  EXPECT_EQ(fontWriter.Y(), 35);
  ReleaseFontAndSprite(&made);
}

}  // namespace
