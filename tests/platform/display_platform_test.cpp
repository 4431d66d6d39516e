// The display every Wine run gets: an adapter with a monitor, the 1280 x 720 mode at 60 Hz that the
// graphics test asks for, and exit codes that survive the virtual desktop.
#include <gtest/gtest.h>

#include <d3d9.h>
#include <dxgi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {
HMONITOR FirstDirect3D9Monitor() {
  ComPtr<IDirect3D9> d3d(Direct3DCreate9(D3D_SDK_VERSION));
  if (!d3d) return nullptr;
  return d3d->GetAdapterCount() > 0 ? d3d->GetAdapterMonitor(0) : nullptr;
}

// The modes of the DXGI output that drives monitor, or none when no output does.
std::vector<DXGI_MODE_DESC> ModesOfOutputOn(HMONITOR monitor) {
  ComPtr<IDXGIFactory> factory;
  if (FAILED(CreateDXGIFactory(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory.out())))) {
    return {};
  }
  ComPtr<IDXGIAdapter> adapter;
  for (UINT a = 0; factory->EnumAdapters(a, adapter.out()) == S_OK; ++a) {
    ComPtr<IDXGIOutput> output;
    for (UINT o = 0; adapter->EnumOutputs(o, output.out()) == S_OK; ++o) {
      DXGI_OUTPUT_DESC desc;
      if (FAILED(output->GetDesc(&desc)) || desc.Monitor != monitor) continue;
      UINT count = 0;
      const DXGI_FORMAT format = DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
      if (FAILED(output->GetDisplayModeList(format, 0, &count, nullptr))) return {};
      std::vector<DXGI_MODE_DESC> modes(count);
      if (FAILED(output->GetDisplayModeList(format, 0, &count, modes.data()))) return {};
      modes.resize(count);
      return modes;
    }
  }
  return {};
}

TEST(Display, Direct3D9FindsAnAdapterWithAMonitor) {
  EXPECT_NE(FirstDirect3D9Monitor(), nullptr);
}

TEST(Display, TheMonitorsOutputOffers1280x720At60Hz) {
  const HMONITOR monitor = FirstDirect3D9Monitor();
  ASSERT_NE(monitor, nullptr);
  const std::vector<DXGI_MODE_DESC> modes = ModesOfOutputOn(monitor);
  bool found = false;
  for (const DXGI_MODE_DESC& mode : modes) {
    const DXGI_RATIONAL rate = mode.RefreshRate;
    if (mode.Width == 1280 && mode.Height == 720 && rate.Denominator != 0 &&
        rate.Numerator / rate.Denominator == 60) {
      found = true;
    }
  }
  EXPECT_TRUE(found) << modes.size() << " modes";
}

TEST(Display, AProgramsExitCodeReachesItsStarter) {
  TempDir dir;
  const ProcessResult result = RunProgram(BinDir() + "\\fake_child.exe", "",
                                          R"({"FAKE_SCRIPT":["exit:3"]})", dir.path());
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 3);
}
}  // namespace
