#pragma once
// The framework's two statistics texts, as shown on screen and written to the result file.
#include <dxgiformat.h>
#include <windows.h>

#include <string>

// The swap chain's facts that the frame statistics text shows.
struct FrameStatsFacts {
  bool vsync = false;
  unsigned width = 0;
  unsigned height = 0;
  DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN;
  unsigned sampleCount = 1;
  unsigned sampleQuality = 0;
};

// "D3D10 59.94 fps Vsync off (1280x720), R8G8B8A8_UNORM_SRGB (MS1, Q0)"; without the frame rate
// the "%0.2f fps " part is left out.
std::wstring FrameStatsText(const FrameStatsFacts& facts, bool withFrameRate, float frameRate);

enum class DeviceKind { Hardware, Reference, Warp };
// "HARDWARE: " and the adapter's description, "REFERENCE" or "WARP".
std::wstring DeviceStatsText(DeviceKind kind, const std::wstring& adapterDescription);

// The format's name without its "DXGI_FORMAT_" prefix.
std::wstring DxgiFormatName(DXGI_FORMAT format);
