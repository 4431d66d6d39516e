#pragma once
// The test's own small application framework: callbacks, command-line overrides, the window and
// its message loop, the Direct3D 10 device, the clock, the frame rate and the statistics texts,
// the error display and the exit code. One framework per process, on the one thread of the test.
#include <d3d10_1.h>
#include <dxgi.h>
#include <windows.h>

#include <functional>
#include <string>

#include "common/platform/com_holders.h"
#include "common/platform/loaded_library.h"
#include "gputest/framework/command_line.h"
#include "gputest/framework/frame_rate.h"
#include "gputest/framework/framework_clock.h"
#include "gputest/framework/stats_text.h"

struct FrameworkCallbacks {
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

struct FrameworkState {
  FrameworkCallbacks callbacks;
  FrameworkOverrides overrides;
  bool showMessageBoxes = true;
  int exitCode = 0;

  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  std::wstring windowTitle;
  bool keys[256] = {};
  bool mouseButtons[5] = {};  // left, middle, right, x1, x2
  bool reportMouseMoves = false;
  bool callDefaultWindowProc = true;

  bool deviceCreationRequested = false;
  bool insideDeviceCallback = false;
  LoadedLibrary direct3D101;  // d3d10_1.dll, for the 10.1 device when the runtime has it
  ComPtr<IDXGIFactory> factory;
  ComPtr<IDXGIAdapter> adapter;
  ComPtr<ID3D10Device> device;
  ComPtr<ID3D10Device1> device1;
  ComPtr<IDXGISwapChain> swapChain;
  ComPtr<ID3D10RenderTargetView> renderTargetView;
  bool deviceObjectsCreated = false;
  bool deviceObjectsReset = false;
  UINT syncInterval = 0;

  FrameworkClock clock;
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
bool DisplayErrorMessage(HRESULT result);

HRESULT CreateFrameworkWindow(const wchar_t* title);
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the device and swap chain on the adapter of the overrides; shows its failures itself.
HRESULT DXUTCreateDevice(bool windowed, int suggestedWidth, int suggestedHeight);
// Releases the device objects after telling the callbacks.
void ReleaseDevice();

// Runs the message loop, rendering whenever no message waits, until the window is gone.
int RunMainLoop();
// Closes the window and releases the device; exitCode becomes the program's exit code.
void ShutdownFramework(int exitCode);

float FrameRate();
std::wstring FrameStats(bool withFrameRate);
std::wstring DeviceStats();
