#pragma once
// The test's own small application framework: callbacks, command-line overrides, the window and
// its message loop, the Direct3D 10 device, the clock, the frame rate and the statistics texts,
// the error display and the exit code. One framework per process, on the one thread of the test.
#include <d3d10_1.h>
#include <dxgi.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "common/platform/loaded_library.h"
#include "gputest/framework/command_line.h"
#include "gputest/framework/d3d10_enumeration.h"
#include "gputest/framework/device_settings.h"
#include "gputest/framework/frame_rate.h"
#include "gputest/framework/framework_clock.h"
#include "gputest/framework/stats_text.h"
#include "gputest/framework/trace_sink.h"
#include "gputest/framework/user_messages.h"

struct FrameworkCallbacks {
  // Sees the settings before each device creation; false refuses them.
  std::function<bool(DXUTDeviceSettings* settings)> modifyDeviceSettings;
  std::function<void(double time, float elapsed)> frameMove;
  std::function<void(ID3D10Device* device, double time, float elapsed)> frameRender;
  std::function<HRESULT(ID3D10Device* device)> deviceCreated;
  std::function<HRESULT(ID3D10Device* device, IDXGISwapChain* swapChain,
                        const DXGI_SURFACE_DESC& backBuffer)>
      swapChainResized;
  std::function<void()> swapChainReleasing;
  std::function<void()> deviceDestroyed;
  // Sets *noFurtherProcessing when the message needs nothing more.
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool* noFurtherProcessing)> windowMessage;
  std::function<void(UINT key, bool down, bool alt)> keyboard;
  std::function<void(bool left, bool right, bool middle, bool x1, bool x2, int wheel, int x,
                     int y)>
      mouse;
};

// The system calls device creation makes; the defaults are Direct3D 10 and DXGI themselves.
struct DevicePlatform {
  // Makes the framework's DXGI factory unless it has one; false when Direct3D 10 is missing.
  std::function<bool(ComPtr<IDXGIFactory>* factory)> openDirect3D10;
  std::function<EnumerationSource(IDXGIFactory* factory)> enumerationSource;
  // D3D10CreateDevice1 at feature level 10.1; a failure also when the runtime lacks it.
  std::function<HRESULT(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE software, UINT flags,
                        ComPtr<ID3D10Device1>* device)>
      createDevice1;
  std::function<HRESULT(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE software, UINT flags,
                        ComPtr<ID3D10Device>* device)>
      createDevice;
  // Shows the frame: IDXGISwapChain::Present without flags.
  std::function<HRESULT(IDXGISwapChain* swapChain, UINT syncInterval)> present;
  DevicePlatform();
};

// The cursor while the device is full screen, and whether the clip in force is the framework's own.
struct FrameworkCursor {
  bool showWhenFullScreen = false;
  bool clipWhenFullScreen = false;
  bool clipped = false;
};

// The two window states that pause the framework's clock and rendering. The pause is derived from
// them, never counted, so no message out of turn can end it while one of them still holds.
struct FrameworkPause {
  bool minimized = false;
  bool insideSizeMove = false;

  bool Paused() const { return minimized || insideSizeMove; }
};

// The exit code of a run on the reference rasteriser; unlike the other codes it is no failure.
constexpr int kReferenceDeviceExitCode = 10;

struct FrameworkState {
  FrameworkCallbacks callbacks;
  IsD3D10DeviceAcceptableCallback isD3D10DeviceAcceptable = nullptr;
  void* isD3D10DeviceAcceptableContext = nullptr;
  DevicePlatform platform;
  TraceSink trace = [](const char*, int, const char*, const std::string&) {};
  UserMessages messages;
  FrameworkOverrides overrides;
  bool showMessageBoxes = true;
  int exitCode = 0;  // kReferenceDeviceExitCode only tells that a reference device was made

  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  // Makes the framework's window when the program made none (the program's own window code).
  HRESULT (*createWindow)(const wchar_t* title) = nullptr;
  bool windowCreateAttempted = false;
  std::wstring windowTitle;
  // Whether the window takes keyboard and mouse input: the program says, read at each message.
  std::function<bool()> interactive = [] { return false; };
  bool keys[256] = {};
  bool mouseButtons[5] = {};  // left, middle, right, x1, x2
  bool reportMouseMoves = false;
  bool callDefaultWindowProc = true;

  bool deviceCreationRequested = false;
  bool insideDeviceCallback = false;
  std::unique_ptr<CD3D10Enumeration> d3d10Enumeration;  // built by the first device search
  DXUTDeviceSettings currentSettings;
  LoadedLibrary softwareModule;  // the software rasteriser, for a software device
  ComPtr<IDXGIFactory> factory;
  ComPtr<IDXGIAdapter> adapter;
  std::vector<ComPtr<IDXGIOutput>> outputs;
  ComPtr<ID3D10Device> device;
  ComPtr<ID3D10Device1> device1;
  ComPtr<IDXGISwapChain> swapChain;
  ComPtr<ID3D10RenderTargetView> renderTargetView;
  ComPtr<ID3D10Texture2D> depthStencil;
  ComPtr<ID3D10DepthStencilView> depthStencilView;
  DXGI_SURFACE_DESC backBufferSurfaceDesc{};
  bool deviceObjectsCreated = false;
  bool deviceObjectsReset = false;
  UINT syncInterval = 0;
  bool deviceRemade = false;  // a removed or reset device was made anew once already
  FrameworkCursor cursor;
  // The windowed back buffer's size while full screen, for the way back.
  UINT windowedBackBufferWidth = 0;
  UINT windowedBackBufferHeight = 0;

  FrameworkClock clock;
  FrameworkPause pause;
  double lastFrameTime = 0.0;
  FrameRateCounter frameRate;
  FrameStatsFacts frameStatsFacts;
  std::wstring deviceStats;
};

// The process's framework, made on first use.
FrameworkState& Framework();

// Reads the command line's flags (when parseCommandLine), chooses whether failures show message
// boxes (-noerrormsgboxes switches them off) and makes the process DPI-aware where it can be.
void InitFramework(bool parseCommandLine, bool showMessageBoxes);
// Shows a failure with the framework's error display; returns whether it had a message for it.
bool DisplayErrorMessage(FrameworkState& framework, HRESULT result);

extern const wchar_t frameworkWindowClassName[];  // "Direct3DWindowClass"
HRESULT CreateFrameworkWindow(const wchar_t* title);
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window procedure's work on a framework: keyboard and mouse reach it only when interactive.
LRESULT HandleFrameworkMessage(FrameworkState& framework, bool interactive, HWND window,
                               UINT message, WPARAM wParam, LPARAM lParam);
// Sets the window states that pause the framework, and stops or lets go on its clock to match:
// the clock stands exactly while the window is minimised or inside a move or size loop.
void SetFrameworkPause(FrameworkState& framework, const FrameworkPause& pause);

// Searches the device settings for the call and the overrides and makes the device, its swap chain
// and views; shows its failures itself.
HRESULT DXUTCreateDevice(FrameworkState& framework, bool windowed, int suggestedWidth,
                         int suggestedHeight);
// Makes the device from settings chosen elsewhere (searched again unless preserveInput).
HRESULT DXUTCreateDeviceFromSettings(FrameworkState& framework, DXUTDeviceSettings* settings,
                                     bool preserveInput, bool clipWindowToSingleAdapter);
// Makes the device, swap chain and views from the current settings and runs the two callbacks.
HRESULT DXUTCreate3DEnvironment10(FrameworkState& framework);
// Gives the swap chain a new size, with new views, telling the callbacks.
HRESULT ResizeDXGIBuffers(FrameworkState& framework, UINT width, UINT height);
// Releases the device objects after telling the callbacks. A device that something still holds
// once the framework has let go of it is shown as still in use (exit code 5), unless an earlier
// failure has set the exit code.
void ReleaseDevice(FrameworkState& framework);

// Whether no failure has set the exit code yet (0, or the reference device's code).
inline bool NoFailureYet(const FrameworkState& framework) {
  return framework.exitCode == 0 || framework.exitCode == kReferenceDeviceExitCode;
}
// Whether the device presents full screen.
inline bool IsFullScreen(const FrameworkState& framework) {
  return framework.swapChain && !framework.currentSettings.d3d10.sd.Windowed;
}

// Whether the cursor shows, and is kept inside the window, while the device is full screen.
void DXUTSetCursorSettings(FrameworkState& framework, bool showCursorWhenFullScreen,
                           bool clipCursorWhenFullScreen);
// Shows and clips the cursor as the settings say for the device's present state; lifts only a
// clip of its own.
void SetUpCursor(FrameworkState& framework);
// The cursor the settings give a full-screen device: the arrow, or none.
HCURSOR FullScreenCursor(const FrameworkState& framework);
// Lifts the framework's own cursor clip, if it set one.
void ReleaseCursorClip(FrameworkState& framework);

// One round of the main loop without a message: the frame moved, drawn and presented. A device
// removed or reset while presenting is made anew once; after that the framework shows that the
// device was removed (exit code 11) and shuts down.
void RenderFrameworkFrame(FrameworkState& framework);
// Runs the message loop, rendering whenever no message waits, until the window is gone.
int RunMainLoop();
// Closes the window and releases the device; exitCode becomes the program's exit code unless an
// earlier failure set one (anything but 0, or 10 for a reference device).
void ShutdownFramework(FrameworkState& framework, int exitCode);
// The same on the process's framework.
void ShutdownFramework(int exitCode);

float FrameRate();
std::wstring FrameStats(bool withFrameRate);
std::wstring DeviceStats();
