#include "gputest/framework/stats_text.h"

#include <cwchar>

// Built in the order of the framework's layout "D3D10 %%sVsync %s (%dx%d), %s%s", whose first
// place takes the frame-rate text.
std::wstring FrameStatsText(const FrameStatsFacts& facts, bool withFrameRate, float frameRate) {
  wchar_t rate[64] = L"";
  if (withFrameRate) std::swprintf(rate, 64, L"%0.2f fps ", static_cast<double>(frameRate));
  return L"D3D10 " + std::wstring(rate) + L"Vsync " + (facts.vsync ? L"on" : L"off") + L" (" +
         std::to_wstring(facts.width) + L"x" + std::to_wstring(facts.height) + L"), " +
         DxgiFormatName(facts.format) + L" (MS" + std::to_wstring(facts.sampleCount) + L", Q" +
         std::to_wstring(facts.sampleQuality) + L")";
}

std::wstring DeviceStatsText(DeviceKind kind, const std::wstring& adapterDescription) {
  switch (kind) {
    case DeviceKind::Reference:
      return L"REFERENCE";
    case DeviceKind::Warp:
      return L"WARP";
    case DeviceKind::Hardware:
      break;
  }
  return L"HARDWARE: " + adapterDescription;
}

std::wstring DxgiFormatName(DXGI_FORMAT format) {
  struct Name {
    DXGI_FORMAT format;
    const wchar_t* text;
  };
  // The back-buffer formats a Direct3D 10 swap chain can have.
  static const Name names[] = {
      {DXGI_FORMAT_R8G8B8A8_UNORM, L"R8G8B8A8_UNORM"},
      {DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, L"R8G8B8A8_UNORM_SRGB"},
      {DXGI_FORMAT_B8G8R8A8_UNORM, L"B8G8R8A8_UNORM"},
      {DXGI_FORMAT_B8G8R8A8_UNORM_SRGB, L"B8G8R8A8_UNORM_SRGB"},
      {DXGI_FORMAT_R10G10B10A2_UNORM, L"R10G10B10A2_UNORM"},
      {DXGI_FORMAT_R16G16B16A16_FLOAT, L"R16G16B16A16_FLOAT"},
  };
  for (const Name& name : names) {
    if (name.format == format) return name.text;
  }
  return L"Unknown format";
}
