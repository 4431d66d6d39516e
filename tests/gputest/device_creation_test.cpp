// Device creation under Wine: the request, the search, the 10.1 device or its 10.0 fall-back,
// the swap chain and views, and the failures with their exit codes, messages and trace points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gputest/framework/device_toggles.h"
#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"
#include "tests/doubles/fake_dxgi_system.h"
#include "tests/support/trace_recorder.h"

namespace {

bool AcceptAll(UINT, UINT, D3D10_DRIVER_TYPE, DXGI_FORMAT, bool, void*) { return true; }

// The trace of a normal DXUTCreateDevice, up to the device change.
std::vector<int> TraceUpToTheDeviceChange() {
  std::vector<int> lines = {1995, 2019, 2092, 2108, 2140};
  for (int line : NormalSearchTrace()) lines.push_back(line);
  lines.push_back(2142);
  lines.push_back(2150);
  return lines;
}

// A framework with a window of its own and the overrides of a test run on adapter 0, output 0.
class WineDevice : public ::testing::Test {
 protected:
  WineDevice() {
    framework.window = MakeWindow();
    framework.trace = trace.Sink();
    framework.isD3D10DeviceAcceptable = AcceptAll;
    framework.messages.messageBox = [this](HWND, const std::wstring& text, const std::wstring&,
                                           UINT) { boxes.push_back(text); };
    framework.windowTitle = L"Vantrel";
    framework.overrides.adapterOverride = 0;
    framework.overrides.outputOverride = 0;
    framework.overrides.forceHal = true;
    framework.overrides.widthOverride = 1280;
    framework.overrides.heightOverride = 720;
    framework.callbacks.modifyDeviceSettings = [](DXUTDeviceSettings* settings) {
      settings->d3d10.SyncInterval = 0;
      settings->d3d10.CreateFlags |= D3D10_CREATE_DEVICE_DEBUG;
      return true;
    };
  }
  ~WineDevice() override {
    ReleaseDevice(framework);
    framework.d3d10Enumeration.reset();
    DestroyWindow(framework.window);
  }

  static HWND MakeWindow() {
    return CreateWindowW(L"STATIC", L"ZORTA device test", WS_OVERLAPPEDWINDOW, 0, 0, 1296, 759,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  TraceRecorder trace;
  std::vector<std::wstring> boxes;
  std::vector<std::string> calls;  // outlives the device the fixture releases at its end
  FrameworkState framework;
};

TEST_F(WineDevice, MakesAWindowed10Point1DeviceWithoutTheDebugLayer) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  std::vector<int> expected = TraceUpToTheDeviceChange();
  expected.push_back(2157);
  EXPECT_EQ(trace.Lines(), expected);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(trace.points[i].file, "DXUT.cpp");
    EXPECT_EQ(trace.points[i].function, "DXUTCreateDevice");
  }
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(framework.exitCode, 0);
  EXPECT_TRUE(framework.deviceCreationRequested);

  ASSERT_TRUE(framework.device);
  ASSERT_TRUE(framework.device1);
  EXPECT_EQ(framework.device1->GetFeatureLevel(), D3D10_FEATURE_LEVEL_10_1);
  EXPECT_EQ(framework.device->GetCreationFlags() & D3D10_CREATE_DEVICE_DEBUG, 0u);
  EXPECT_EQ(framework.currentSettings.d3d10.CreateFlags & D3D10_CREATE_DEVICE_DEBUG, 0u);
  ASSERT_TRUE(framework.swapChain);
  EXPECT_TRUE(framework.renderTargetView);
  EXPECT_TRUE(framework.depthStencilView);
  EXPECT_TRUE(framework.adapter);
  EXPECT_EQ(framework.outputs.size(), 1u);
  EXPECT_TRUE(framework.deviceObjectsCreated);
  EXPECT_TRUE(framework.deviceObjectsReset);

  DXGI_SWAP_CHAIN_DESC desc{};
  framework.swapChain->GetDesc(&desc);
  EXPECT_TRUE(desc.Windowed);
  EXPECT_EQ(desc.OutputWindow, framework.window);
  EXPECT_EQ(FrameStatsText(framework.frameStatsFacts, false, 0.0f),
            L"D3D10 Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)");
  EXPECT_EQ(framework.deviceStats.substr(0, 10), L"HARDWARE: ");
  EXPECT_GT(framework.deviceStats.size(), 10u);
}

TEST_F(WineDevice, FallsBackToADirect3D10DeviceWithoutThe10Point1Runtime) {
  framework.platform.createDevice1 = [](IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                        ComPtr<ID3D10Device1>*) { return E_NOINTERFACE; };
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  EXPECT_TRUE(framework.device);
  EXPECT_FALSE(framework.device1);
  EXPECT_TRUE(framework.swapChain);
  EXPECT_EQ(trace.Lines().back(), 2157);
}

TEST_F(WineDevice, EachFailureOfTheDeviceItsViewsOrCallbacksEndsWithItsExitCode) {
  struct Case {
    const char* shows;
    bool noDevice;
    HRESULT created;
    HRESULT resized;
    HRESULT result;
    int exitCode;
    std::wstring message;
    std::vector<int> traceAfterChange;
  };
  const Case cases[] = {
      {"no device", true, S_OK, S_OK, frameworkCreatingDevice, 6,
       L"Failed creating the Direct3D device.", {}},
      {"the device-created callback misses its media", false, frameworkMediaNotFound, S_OK,
       frameworkMediaNotFound, 4, L"Could not find required media.", {4099}},
      {"the device-created callback fails otherwise", false, E_OUTOFMEMORY, S_OK,
       frameworkCreatingDeviceObjects, 8,
       L"An error occurred in the device create callback function.", {4099}},
      {"the swap-chain-resized callback fails", false, S_OK, E_INVALIDARG,
       frameworkResettingDeviceObjects, 9,
       L"An error occurred in the device reset callback function.", {}},
  };
  for (const Case& c : cases) {
    FrameworkState& f = framework;
    ReleaseDevice(f);
    f.d3d10Enumeration.reset();
    trace.points.clear();
    boxes.clear();
    f.exitCode = 0;
    if (c.noDevice) {
      f.platform.createDevice1 = [](IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                    ComPtr<ID3D10Device1>*) { return E_FAIL; };
      f.platform.createDevice = [](IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                   ComPtr<ID3D10Device>*) { return E_FAIL; };
    } else {
      f.platform = DevicePlatform();
    }
    f.callbacks.deviceCreated = [&c](ID3D10Device*) { return c.created; };
    f.callbacks.swapChainResized = [&c](ID3D10Device*, IDXGISwapChain*,
                                        const DXGI_SURFACE_DESC&) { return c.resized; };
    EXPECT_EQ(DXUTCreateDevice(f, true, 1280, 720), c.result) << c.shows;
    EXPECT_EQ(f.exitCode, c.exitCode) << c.shows;
    EXPECT_EQ(boxes, std::vector<std::wstring>{c.message}) << c.shows;
    std::vector<int> expected = TraceUpToTheDeviceChange();
    expected.insert(expected.end(), c.traceAfterChange.begin(), c.traceAfterChange.end());
    EXPECT_EQ(trace.Lines(), expected) << c.shows;
    EXPECT_FALSE(f.device) << c.shows << ": a failed creation leaves no device";
    EXPECT_FALSE(f.swapChain) << c.shows;
  }
}

TEST_F(WineDevice, ASearchThatFindsNothingShowsItsMessageAndEndsWithExitCode3) {
  struct Case {
    const char* shows;
    std::vector<FakeAdapter> adapters;
    bool forceRef;
    bool noAdapterEntry;
  };
  FakeAdapter wideMode = AdapterWithOutputs(L"A", 1);
  wideMode.outputs[0].closestMode.Height = 768;
  const Case cases[] = {
      {"a closest mode of 1280 x 768", {wideMode}, false, false},
      {"no adapter: the entry without one", {}, false, true},
      {"-forceref wins over -forcehal, and only hardware devices are listed",
       {AdapterWithOutputs(L"A", 1)}, true, false},
  };
  for (const Case& c : cases) {
    FakeDxgiSystem system;
    system.adapters = c.adapters;
    framework.d3d10Enumeration.reset();
    framework.platform.enumerationSource = [&system](IDXGIFactory*) { return system.Source(); };
    framework.overrides.forceRef = c.forceRef;
    framework.exitCode = 0;
    trace.points.clear();
    boxes.clear();
    EXPECT_EQ(DXUTCreateDevice(framework, true, 1280, 720), frameworkNoCompatibleDevices)
        << c.shows;
    EXPECT_EQ(framework.exitCode, 3) << c.shows;
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Could not find any compatible Direct3D devices."})
        << c.shows;
    const std::vector<int> lines = trace.Lines();
    ASSERT_GE(lines.size(), 3u) << c.shows;
    EXPECT_EQ(std::vector<int>(lines.end() - 3, lines.end()), (std::vector<int>{2142, 2145, 2147}))
        << c.shows;
    EXPECT_EQ(trace.Has(2497), c.noAdapterEntry) << c.shows;
    EXPECT_FALSE(framework.device) << c.shows;
  }
}

TEST_F(WineDevice, TheOutputOverrideNamesTheOutputTheSearchEnumerates) {
  FakeDxgiSystem system;
  system.adapters = {AdapterWithOutputs(L"A", 1), AdapterWithOutputs(L"B", 3)};
  framework.platform.enumerationSource = [&system](IDXGIFactory*) { return system.Source(); };
  framework.overrides.adapterOverride = 1;
  framework.overrides.outputOverride = 2;
  framework.showMessageBoxes = false;
  DXUTCreateDevice(framework, true, 1280, 720);  // Wine has no adapter 1 to make the device on
  EXPECT_EQ(system.adaptersAsked, std::vector<UINT>{1});
  EXPECT_EQ((system.outputsAsked), (std::vector<std::pair<int, UINT>>{{1, 2}}));
  EXPECT_EQ(framework.currentSettings.d3d10.AdapterOrdinal, 1u);
  EXPECT_EQ(framework.currentSettings.d3d10.Output, 2u);
  EXPECT_EQ(framework.exitCode, 6);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WineDevice, AResizedSwapChainGetsNewViewsAndTellsTheCallbacks) {
  framework.callbacks.swapChainReleasing = [&] { calls.push_back("releasing"); };
  framework.callbacks.swapChainResized = [&](ID3D10Device*, IDXGISwapChain*,
                                             const DXGI_SURFACE_DESC& surface) {
    calls.push_back("resized " + std::to_string(surface.Width) + "x" +
                    std::to_string(surface.Height));
    return S_OK;
  };
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  ASSERT_EQ(ResizeDXGIBuffers(framework, 640, 360), S_OK);
  EXPECT_EQ(calls, (std::vector<std::string>{"resized 1280x720", "releasing", "resized 640x360"}));
  EXPECT_EQ(framework.frameStatsFacts.width, 640u);
  EXPECT_EQ(framework.frameStatsFacts.height, 360u);
  EXPECT_TRUE(framework.renderTargetView);
  EXPECT_TRUE(framework.depthStencilView);
}

TEST_F(WineDevice, ADeviceStillHeldAtShutdownShowsItsMessageAndEndsWithExitCode5) {
  struct Case {
    const char* shows;
    int exitCodeBefore;
    bool extraReference;
    int shutdownCode;  // what the program passes, the result file's outcome
    int exitCode;
  };
  const Case cases[] = {
      {"every reference released", 0, false, 0, 0},
      {"a result file that could not be written", 0, false, 1, 1},
      {"an extra reference", 0, true, 0, 5},
      {"an extra reference after a reference device was made", 10, true, 0, 5},
      {"an extra reference after a result file that could not be written, which keeps its 1",
       0, true, 1, 1},
      {"an extra reference after an earlier failure, which keeps its code", 4, true, 0, 4},
      {"an earlier failure, not overwritten by the program's code", 8, false, 1, 8},
  };
  const std::vector<std::wstring> stillInUse = {
      L"The Direct3D device was released while still in use."};
  for (const Case& c : cases) {
    boxes.clear();
    ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK) << c.shows;
    framework.exitCode = c.exitCodeBefore;
    ID3D10Device* held = framework.device.get();
    if (c.extraReference) held->AddRef();
    ShutdownFramework(framework, c.shutdownCode);
    EXPECT_EQ(framework.exitCode, c.exitCode) << c.shows;
    EXPECT_EQ(boxes, c.exitCode == 5 ? stillInUse : std::vector<std::wstring>{}) << c.shows;
    EXPECT_FALSE(framework.device) << c.shows;
    if (c.extraReference) {
      EXPECT_EQ(held->Release(), 0u) << c.shows;
    }
    // The shutdown closed the window; the next case needs one.
    DestroyWindow(framework.window);
    framework.window = MakeWindow();
    framework.exitCode = 0;
  }
}

// A window the framework's own handling runs, so that closing it posts the quit as the program's
// window does.
LRESULT CALLBACK FrameworkHandledWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* framework = reinterpret_cast<FrameworkState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (framework == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return HandleFrameworkMessage(*framework, false, window, message, wParam, lParam);
}

HWND MakeFrameworkHandledWindow(FrameworkState* framework) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = FrameworkHandledWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZORTA framework-handled test window";
  RegisterClassW(&windowClass);  // already there from an earlier case: the same class
  const HWND window = CreateWindowW(windowClass.lpszClassName, L"ZORTA quit test",
                                    WS_OVERLAPPEDWINDOW, 0, 0, 1296, 759, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(framework));
  return window;
}

TEST_F(WineDevice, TheStillInUseBoxAtTheEndOfARunIsShownWithNoQuitPendingAndTheQuitFollows) {
  for (bool showBoxes : {true, false}) {
    SCOPED_TRACE(showBoxes ? "message boxes on" : "message boxes off");
    DestroyWindow(framework.window);
    framework.window = MakeFrameworkHandledWindow(&framework);
    framework.showMessageBoxes = showBoxes;
    framework.exitCode = 0;
    std::vector<bool> quitPendingAtBox;
    framework.messages.messageBox = [&](HWND, const std::wstring& text, const std::wstring&, UINT) {
      boxes.push_back(text);
      MSG quit;
      quitPendingAtBox.push_back(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0);
    };
    boxes.clear();
    ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
    ID3D10Device* held = framework.device.get();
    held->AddRef();
    // What the end of a timed run does: the window closes, which posts the quit, then the device
    // goes while the test still holds it.
    ShutdownFramework(framework, 0);
    EXPECT_EQ(framework.exitCode, 5);
    EXPECT_EQ(boxes, showBoxes ? std::vector<std::wstring>{L"The Direct3D device was released "
                                                           L"while still in use."}
                               : std::vector<std::wstring>{});
    EXPECT_EQ(quitPendingAtBox, showBoxes ? std::vector<bool>{false} : std::vector<bool>{});
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "after the box the quit is pending again, so the main loop ends";
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(held->Release(), 0u);
  }
  framework.window = MakeWindow();
}

// A framework whose Present reports the losses queued, then presents for real.
class WineDeviceWithLosses : public WineDevice {
 protected:
  WineDeviceWithLosses() {
    framework.platform.present = [this](IDXGISwapChain* swapChain, UINT syncInterval) {
      if (losses.empty()) return swapChain->Present(syncInterval, 0);
      const HRESULT loss = losses.front();
      losses.erase(losses.begin());
      return loss;
    };
    const DevicePlatform real;
    framework.platform.openDirect3D10 = [this, real](ComPtr<IDXGIFactory>* factory) {
      factoriesMade += *factory ? 0 : 1;
      return real.openDirect3D10(factory);
    };
    framework.callbacks.deviceCreated = [this](ID3D10Device*) {
      ++created;
      return S_OK;
    };
    framework.callbacks.deviceDestroyed = [this] { ++destroyed; };
  }

  std::vector<HRESULT> losses;
  int factoriesMade = 0, created = 0, destroyed = 0;
};

TEST_F(WineDeviceWithLosses, ARemovedOrResetDeviceIsMadeAnewOnceAndTheNextLossEndsWithExitCode11) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  ASSERT_EQ(factoriesMade, 1);
  losses = {DXGI_ERROR_DEVICE_RESET};
  RenderFrameworkFrame(framework);
  EXPECT_EQ(created, 2);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(factoriesMade, 2) << "the lost device's factory is not kept";
  EXPECT_TRUE(framework.device);
  EXPECT_TRUE(framework.swapChain);
  EXPECT_TRUE(framework.renderTargetView);
  EXPECT_TRUE(framework.deviceObjectsReset);
  EXPECT_EQ(framework.exitCode, 0);
  EXPECT_TRUE(boxes.empty());

  // The run goes on with the new device.
  RenderFrameworkFrame(framework);
  EXPECT_EQ(created, 2);
  EXPECT_TRUE(framework.device);

  losses = {DXGI_ERROR_DEVICE_REMOVED};
  RenderFrameworkFrame(framework);
  EXPECT_EQ(created, 2);
  EXPECT_EQ(destroyed, 2);
  EXPECT_FALSE(framework.device);
  EXPECT_FALSE(framework.swapChain);
  EXPECT_EQ(framework.exitCode, 11);
  EXPECT_EQ(boxes, std::vector<std::wstring>{L"The Direct3D device was removed."});
}

TEST_F(WineDeviceWithLosses, ALostDeviceThatCannotBeMadeAnewEndsWithExitCode11Alone) {
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  framework.platform.createDevice1 = [](IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                        ComPtr<ID3D10Device1>*) { return E_FAIL; };
  framework.platform.createDevice = [](IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT,
                                       ComPtr<ID3D10Device>*) { return E_FAIL; };
  losses = {DXGI_ERROR_DEVICE_REMOVED};
  RenderFrameworkFrame(framework);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(framework.device);
  EXPECT_EQ(framework.exitCode, 11);
  EXPECT_EQ(boxes, std::vector<std::wstring>{L"The Direct3D device was removed."});
}

RECT ClipNow() {
  RECT clip{};
  GetClipCursor(&clip);
  return clip;
}

// Whether the system keeps a cursor clip a program sets. Wine's 32-bit programs here get TRUE
// from ClipCursor and keep no clip.
bool ClipCursorHolds() {
  RECT probe{10, 20, 300, 400};
  if (!ClipCursor(&probe)) return false;
  const RECT clip = ClipNow();
  ClipCursor(nullptr);
  return EqualRect(&clip, &probe) != FALSE;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
         " " + std::to_string(r.bottom);
}

TEST_F(WineDevice, InFullScreenTheCursorIsShownAndClippedAndLetGoOnTheWayBack) {
  DXUTSetCursorSettings(framework, true, true);
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  EXPECT_FALSE(framework.cursor.clipped) << "a windowed device clips nothing";

  ASSERT_EQ(DXUTToggleFullScreen(framework), S_OK);
  DXGI_SWAP_CHAIN_DESC desc{};
  ASSERT_TRUE(framework.swapChain);
  framework.swapChain->GetDesc(&desc);
  ASSERT_FALSE(desc.Windowed);
  EXPECT_TRUE(framework.cursor.clipped);

  SetCursor(nullptr);
  EXPECT_EQ(HandleFrameworkMessage(framework, false, framework.window, WM_SETCURSOR,
                                   reinterpret_cast<WPARAM>(framework.window),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));

  ASSERT_EQ(DXUTToggleFullScreen(framework), S_OK);
  EXPECT_FALSE(framework.cursor.clipped) << "back in a window the clip is lifted";
  EXPECT_TRUE(boxes.empty());
}

// The full-screen window covers the screen, so its clip looks like none; a window smaller than
// the screen, with settings that say full screen, shows where the clip goes.
TEST_F(WineDevice, TheFullScreenClipIsTheWindowAndTheDeviceReleaseLiftsIt) {
  if (!ClipCursorHolds()) GTEST_SKIP() << "this system keeps no cursor clip";
  const RECT unclipped = ClipNow();
  DXUTSetCursorSettings(framework, true, true);
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  framework.currentSettings.d3d10.sd.Windowed = FALSE;
  SetUpCursor(framework);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(framework.window, &window));
  RECT clip = ClipNow();
  EXPECT_TRUE(EqualRect(&clip, &window)) << Text(clip) << " for the window at " << Text(window);

  framework.currentSettings.d3d10.sd.Windowed = TRUE;
  ReleaseDevice(framework);
  clip = ClipNow();
  EXPECT_TRUE(EqualRect(&clip, &unclipped)) << Text(clip);
}

TEST_F(WineDevice, TheFrameworkLiftsNoCursorClipItDidNotSet) {
  if (!ClipCursorHolds()) GTEST_SKIP() << "this system keeps no cursor clip";
  DXUTSetCursorSettings(framework, true, true);
  ASSERT_EQ(DXUTCreateDevice(framework, true, 1280, 720), S_OK);
  RECT own{10, 20, 300, 400};
  ASSERT_TRUE(ClipCursor(&own));
  DXUTSetCursorSettings(framework, true, false);
  ReleaseDevice(framework);
  const RECT clip = ClipNow();
  EXPECT_TRUE(EqualRect(&clip, &own)) << Text(clip);
  ClipCursor(nullptr);
}

}  // namespace
