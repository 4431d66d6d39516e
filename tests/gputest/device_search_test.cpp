// The device-settings search and its enumeration of the one adapter and output the run names,
// through a made-up DXGI system and through Wine's own.
#include "gputest/framework/device_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "gputest/framework/framework.h"
#include "gputest/framework/framework_errors.h"
#include "tests/doubles/fake_dxgi_system.h"
#include "tests/support/trace_recorder.h"

namespace {

bool AcceptAll(UINT, UINT, D3D10_DRIVER_TYPE, DXGI_FORMAT, bool, void*) { return true; }

// The request a test run makes: hardware, windowed, 1280 x 720, on the adapter and output named.
struct RunRequest {
  DXUTDeviceSettings settings;
  DXUTMatchOptions options;
  RunRequest(int adapter, int output) {
    settings.ver = DXUT_D3D9_DEVICE;
    settings.d3d9.AdapterOrdinal = static_cast<UINT>(adapter);
    settings.d3d9.AdapterFormat = static_cast<UINT>(output);
    settings.d3d9.DeviceType = D3DDEVTYPE_HAL;
    settings.d3d9.pp.Windowed = TRUE;
    settings.d3d9.pp.BackBufferWidth = 1280;
    settings.d3d9.pp.BackBufferHeight = 720;
    options.eAdapterOrdinal = DXUTMT_PRESERVE_INPUT;
    options.eDeviceType = DXUTMT_PRESERVE_INPUT;
    options.eWindowed = DXUTMT_PRESERVE_INPUT;
    options.eResolution = DXUTMT_PRESERVE_INPUT;
  }
};

class FakeSearch : public ::testing::Test {
 protected:
  FakeSearch() {
    framework.trace = trace.Sink();
    framework.isD3D10DeviceAcceptable = AcceptAll;
    framework.platform.openDirect3D10 = [this](ComPtr<IDXGIFactory>*) { return direct3D10; };
    framework.platform.enumerationSource = [this](IDXGIFactory*) { return system.Source(); };
  }
  HRESULT Search(int adapter, int output, DXUTDeviceSettings* result = nullptr) {
    RunRequest request(adapter, output);
    DXUTDeviceSettings found = request.settings;
    const HRESULT hr = DXUTFindValidDeviceSettings(framework, &found, &found, &request.options);
    if (result != nullptr) *result = found;
    return hr;
  }
  const std::vector<std::unique_ptr<CD3D10EnumAdapterInfo>>& Entries() {
    return framework.d3d10Enumeration->GetAdapterInfoList();
  }

  FakeDxgiSystem system;
  bool direct3D10 = true;
  TraceRecorder trace;
  FrameworkState framework;
};

TEST_F(FakeSearch, ANormalSearchTracesItsStepsAndFindsTheWindowedHardwareDevice) {
  system.adapters = {AdapterWithOutputs(L"Adapter A", 1)};
  DXUTDeviceSettings result;
  ASSERT_EQ(Search(0, 0, &result), S_OK);
  EXPECT_EQ(trace.Lines(), NormalSearchTrace());
  for (const TracePoint& point : trace.points) EXPECT_EQ(point.file, "DXUTenum.cpp");
  const TracePoint& first = trace.points.front();
  EXPECT_EQ(first.function, "DXUTFindValidDeviceSettings");
  EXPECT_EQ(trace.points[6].function, "CD3D10Enumeration::EnumerateOutputs");
  EXPECT_EQ(trace.points[6].message, "ENUM OUTPUTS GO");
  EXPECT_EQ(trace.points[7].message, "ENUM OUTPUTS DONE");
  EXPECT_EQ(trace.points[9].message, "FINDING VALID DEVICE SETTINGS");
  EXPECT_EQ(trace.points[10].function, "DXUTFindValidD3D10DeviceSettings");
  EXPECT_EQ(trace.points[14].function, "DXUTDoesD3D10DeviceComboMatchPreserveOptions");
  EXPECT_EQ(trace.points[trace.points.size() - 3].message, "FOUND VALID DEVICE SETTINGS");

  EXPECT_EQ(result.ver, DXUT_D3D10_DEVICE);
  const DXUTD3D10DeviceSettings& d3d10 = result.d3d10;
  EXPECT_EQ(d3d10.AdapterOrdinal, 0u);
  EXPECT_EQ(d3d10.Output, 0u);
  EXPECT_EQ(d3d10.DriverType, D3D10_DRIVER_TYPE_HARDWARE);
  EXPECT_TRUE(d3d10.sd.Windowed);
  EXPECT_EQ(d3d10.sd.BufferDesc.Width, 1280u);
  EXPECT_EQ(d3d10.sd.BufferDesc.Height, 720u);
  EXPECT_EQ(d3d10.sd.BufferDesc.Format, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB);
  EXPECT_EQ(d3d10.sd.SampleDesc.Count, 1u);
  EXPECT_EQ(d3d10.sd.SampleDesc.Quality, 0u);
  EXPECT_EQ(d3d10.CreateFlags, 0u);

  // The one mode asked for, and the combinations made from it.
  ASSERT_EQ(system.wishes.size(), 1u);
  EXPECT_EQ(system.wishes[0].Width, 1280u);
  EXPECT_EQ(system.wishes[0].Height, 720u);
  EXPECT_EQ(system.wishes[0].RefreshRate.Numerator, 0u);
  EXPECT_EQ(system.wishes[0].RefreshRate.Denominator, 0u);
  EXPECT_EQ(system.wishes[0].Format, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB);
  ASSERT_EQ(Entries().size(), 1u);
  EXPECT_EQ(Entries()[0]->szUniqueDescription, L"Adapter A");
  ASSERT_EQ(Entries()[0]->deviceInfoList.size(), 1u);
  EXPECT_EQ(Entries()[0]->deviceInfoList[0]->DeviceType, D3D10_DRIVER_TYPE_HARDWARE);
  ASSERT_EQ(Entries()[0]->outputInfoList.size(), 1u);
  EXPECT_EQ(Entries()[0]->outputInfoList[0]->displayModeList.size(), 1u);
}

TEST_F(FakeSearch, OnlyTheRequestedAdapterAndOutputAreAskedFor) {
  struct Case {
    const char* shows;
    std::vector<FakeAdapter> adapters;
    int adapter;
    int output;
    std::vector<UINT> adaptersAsked;
    std::vector<std::pair<int, UINT>> outputsAsked;
  };
  const Case cases[] = {
      {"output 1 of outputs 0 and 1: output 0 is never asked for",
       {AdapterWithOutputs(L"A", 2)}, 0, 1, {0}, {{0, 1}}},
      {"adapter 2 of three: adapters 0 and 1 never asked, none after it once it is added",
       {AdapterWithOutputs(L"A", 1), AdapterWithOutputs(L"B", 1), AdapterWithOutputs(L"C", 1)},
       2, 0, {2}, {{2, 0}}},
  };
  for (const Case& c : cases) {
    system = FakeDxgiSystem();
    trace.points.clear();
    system.adapters = c.adapters;
    framework.d3d10Enumeration.reset();
    DXUTDeviceSettings result;
    ASSERT_EQ(Search(c.adapter, c.output, &result), S_OK) << c.shows;
    EXPECT_EQ(system.adaptersAsked, c.adaptersAsked) << c.shows;
    EXPECT_EQ(system.outputsAsked, c.outputsAsked) << c.shows;
    ASSERT_EQ(Entries().size(), 1u) << c.shows;
    EXPECT_EQ(Entries()[0]->AdapterOrdinal, static_cast<UINT>(c.adapter)) << c.shows;
    ASSERT_EQ(Entries()[0]->outputInfoList.size(), 1u) << c.shows;
    EXPECT_EQ(Entries()[0]->outputInfoList[0]->Output, static_cast<UINT>(c.output)) << c.shows;
    EXPECT_EQ(result.d3d10.AdapterOrdinal, static_cast<UINT>(c.adapter)) << c.shows;
    EXPECT_EQ(result.d3d10.Output, static_cast<UINT>(c.output)) << c.shows;
  }
}

TEST_F(FakeSearch, WithoutTheNamedAdapterAndOutputOnlyTheEntryWithoutOutputsIsLeft) {
  struct Case {
    const char* shows;
    std::vector<FakeAdapter> adapters;
    int adapter;
    int output;
    std::vector<int> enumerationTrace;  // between 139 and 152
  };
  FakeAdapter noMode = AdapterWithOutputs(L"A", 2);
  noMode.outputs[0].modeFound = false;
  FakeAdapter failingOutputs = AdapterWithOutputs(L"A", 1);
  failingOutputs.outputFailure = E_OUTOFMEMORY;
  const Case cases[] = {
      {"-1 and -1", {AdapterWithOutputs(L"A", 1)}, -1, -1, {2497}},
      {"an adapter index the factory lacks", {AdapterWithOutputs(L"A", 1)}, 1, 0, {2497}},
      {"the output is missing", {AdapterWithOutputs(L"A", 2)}, 0, 2, {2572, 2576, 2497}},
      {"no closest mode: the later outputs are only counted off", {noMode}, 0, 0,
       {2572, 2589, 2572, 2572, 2576, 2497}},
      {"EnumOutputs fails otherwise", {failingOutputs}, 0, 0, {2572, 2497}},
  };
  for (const Case& c : cases) {
    system = FakeDxgiSystem();
    system.adapters = c.adapters;
    framework.d3d10Enumeration.reset();
    trace.points.clear();
    EXPECT_EQ(Search(c.adapter, c.output), frameworkNoCompatibleDevices) << c.shows;

    const std::vector<int> lines = trace.Lines();
    const auto from = std::find(lines.begin(), lines.end(), 139);
    const auto to = std::find(lines.begin(), lines.end(), 152);
    ASSERT_TRUE(from != lines.end() && to != lines.end()) << c.shows;
    EXPECT_EQ(std::vector<int>(from + 1, to), c.enumerationTrace) << c.shows;
    EXPECT_EQ(trace.points[static_cast<size_t>(from - lines.begin()) + c.enumerationTrace.size()]
                  .message,
              "Found no adapeter, testing for WARP and REF")
        << c.shows;
    EXPECT_TRUE(trace.Has(167)) << c.shows;
    EXPECT_FALSE(trace.Has(3336)) << c.shows;

    ASSERT_EQ(Entries().size(), 1u) << c.shows;
    EXPECT_FALSE(Entries()[0]->m_pAdapter) << c.shows;
    EXPECT_TRUE(Entries()[0]->outputInfoList.empty()) << c.shows;
    EXPECT_EQ(Entries()[0]->deviceSettingsComboList.size(), 8u) << c.shows;
    for (const auto& combo : Entries()[0]->deviceSettingsComboList) {
      EXPECT_EQ(combo->pOutputInfo, nullptr) << c.shows;
    }
  }
}

TEST_F(FakeSearch, MinusOneAsksTheFactoryForAnIndexItHasNot) {
  system.adapters = {AdapterWithOutputs(L"A", 1)};
  Search(-1, -1);
  EXPECT_EQ(system.adaptersAsked, std::vector<UINT>{0xFFFFFFFFu});
}

TEST_F(FakeSearch, AClosestModeOf1280By768FindsNoDeviceThoughAdapterAndOutputExist) {
  FakeAdapter adapter = AdapterWithOutputs(L"A", 1);
  adapter.outputs[0].closestMode.Height = 768;
  system.adapters = {adapter};
  EXPECT_EQ(Search(0, 0), frameworkNoCompatibleDevices);
  ASSERT_EQ(Entries().size(), 1u);
  EXPECT_EQ(Entries()[0]->outputInfoList.size(), 1u);
  EXPECT_TRUE(trace.Has(3594));
  EXPECT_FALSE(trace.Has(3600));
  EXPECT_FALSE(trace.Has(2497));
  EXPECT_TRUE(trace.Has(167));
}

TEST_F(FakeSearch, TheOneModesFormatIsTheBackBufferFormatOfEveryCombination) {
  FakeAdapter adapter = AdapterWithOutputs(L"A", 1);
  adapter.outputs[0].closestMode.Format = DXGI_FORMAT_R10G10B10A2_UNORM;
  system.adapters = {adapter};
  DXUTDeviceSettings result;
  ASSERT_EQ(Search(0, 0, &result), S_OK);
  const auto& combos = Entries()[0]->deviceSettingsComboList;
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_FALSE(combos[0]->Windowed);
  EXPECT_TRUE(combos[1]->Windowed);
  for (const auto& combo : combos) {
    EXPECT_EQ(combo->BackBufferFormat, DXGI_FORMAT_R10G10B10A2_UNORM);
    EXPECT_EQ(combo->multiSampleCountList, (std::vector<UINT>{1, 4}));
  }
  EXPECT_EQ(result.d3d10.sd.BufferDesc.Format, DXGI_FORMAT_R10G10B10A2_UNORM);
}

TEST_F(FakeSearch, ASecondSearchFindsTheEntriesOfTheFirstBuild) {
  system.adapters = {AdapterWithOutputs(L"A", 1), AdapterWithOutputs(L"B", 1),
                     AdapterWithOutputs(L"C", 1)};
  ASSERT_EQ(Search(0, 0), S_OK);
  const std::vector<UINT> asked = system.adaptersAsked;
  EXPECT_EQ(Search(2, 0), frameworkNoCompatibleDevices);
  EXPECT_EQ(system.adaptersAsked, asked);
  ASSERT_EQ(Entries().size(), 1u);
  EXPECT_EQ(Entries()[0]->AdapterOrdinal, 0u);
}

TEST_F(FakeSearch, TheSearchsOwnFailures) {
  system.adapters = {AdapterWithOutputs(L"A", 1)};
  DXUTDeviceSettings request = RunRequest(0, 0).settings;
  EXPECT_EQ(DXUTFindValidDeviceSettings(framework, nullptr, &request, nullptr), E_INVALIDARG);

  trace.points.clear();
  direct3D10 = false;
  EXPECT_EQ(Search(0, 0), frameworkNoDirect3D);
  EXPECT_EQ(trace.Lines(), (std::vector<int>{84, 97, 117, 132, 135, 172, 179, 204}));

  // Without the framework's factory nothing is enumerated, and nothing is found.
  direct3D10 = true;
  system.hasFactory = false;
  EXPECT_EQ(Search(0, 0), frameworkNoCompatibleDevices);
  EXPECT_TRUE(system.adaptersAsked.empty());
  EXPECT_FALSE(framework.d3d10Enumeration->HasEnumerated());
}

TEST(DevicePreserveTest, EachPreservedFieldIsTestedInOrder) {
  CD3D10EnumOutputInfo output;
  output.displayModeList = {DXGI_MODE_DESC{1280, 720, {60, 1}, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB,
                                           DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                                           DXGI_MODE_SCALING_UNSPECIFIED}};
  CD3D10EnumDeviceSettingsCombo combo;
  combo.AdapterOrdinal = 1;
  combo.Output = 2;
  combo.Windowed = true;
  combo.BackBufferFormat = DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
  combo.multiSampleCountList = {1, 4};
  combo.multiSampleQualityList = {1, 2};
  combo.pOutputInfo = &output;

  DXUTD3D10DeviceSettings matching;
  matching.AdapterOrdinal = 1;
  matching.Output = 2;
  matching.sd.Windowed = TRUE;
  matching.sd.BufferDesc = output.displayModeList[0];
  matching.sd.BufferDesc.RefreshRate = {5995, 100};
  matching.sd.SampleDesc = {4, 1};

  struct Case {
    const char* shows;
    DXUTMatchType DXUTMatchOptions::*option;
    void (*spoil)(DXUTD3D10DeviceSettings*);
    int lastLine;
  };
  const Case cases[] = {
      {"adapter", &DXUTMatchOptions::eAdapterOrdinal,
       [](DXUTD3D10DeviceSettings* s) { s->AdapterOrdinal = 0; }, 3547},
      {"driver type", &DXUTMatchOptions::eDeviceType,
       [](DXUTD3D10DeviceSettings* s) { s->DriverType = D3D10_DRIVER_TYPE_REFERENCE; }, 3555},
      {"windowed", &DXUTMatchOptions::eWindowed,
       [](DXUTD3D10DeviceSettings* s) { s->sd.Windowed = FALSE; }, 3563},
      {"output", &DXUTMatchOptions::eOutput, [](DXUTD3D10DeviceSettings* s) { s->Output = 0; },
       3571},
      {"resolution", &DXUTMatchOptions::eResolution,
       [](DXUTD3D10DeviceSettings* s) { s->sd.BufferDesc.Height = 768; }, 3596},
      {"format", &DXUTMatchOptions::eBackBufferFormat,
       [](DXUTD3D10DeviceSettings* s) { s->sd.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM; },
       3616},
      {"samples: quality must stay below the levels", &DXUTMatchOptions::eMultiSample,
       [](DXUTD3D10DeviceSettings* s) { s->sd.SampleDesc.Quality = 2; }, 3616},
      {"refresh rate: more than 0.1 Hz apart", &DXUTMatchOptions::eRefreshRate,
       [](DXUTD3D10DeviceSettings* s) { s->sd.BufferDesc.RefreshRate = {5989, 100}; }, 3668},
  };
  for (const Case& c : cases) {
    DXUTMatchOptions options;
    options.*c.option = DXUTMT_PRESERVE_INPUT;
    TraceRecorder trace;
    EXPECT_TRUE(DXUTDoesD3D10DeviceComboMatchPreserveOptions(combo, matching, options,
                                                             trace.Sink()))
        << c.shows;
    DXUTD3D10DeviceSettings spoilt = matching;
    c.spoil(&spoilt);
    trace.points.clear();
    EXPECT_FALSE(DXUTDoesD3D10DeviceComboMatchPreserveOptions(combo, spoilt, options, trace.Sink()))
        << c.shows;
    EXPECT_EQ(trace.Lines().back(), c.lastLine) << c.shows;
    // Not preserved, the difference does not count.
    EXPECT_TRUE(DXUTDoesD3D10DeviceComboMatchPreserveOptions(combo, spoilt, DXUTMatchOptions{},
                                                             trace.Sink()))
        << c.shows;
  }

  // Without output information a preserved resolution or refresh rate never matches.
  combo.pOutputInfo = nullptr;
  DXUTMatchOptions resolution;
  resolution.eResolution = DXUTMT_PRESERVE_INPUT;
  TraceRecorder trace;
  EXPECT_FALSE(DXUTDoesD3D10DeviceComboMatchPreserveOptions(combo, matching, resolution,
                                                            trace.Sink()));
  EXPECT_EQ(trace.Lines(), (std::vector<int>{3547, 3555, 3563, 3571, 3579, 3586, 3608}));
  EXPECT_EQ(trace.points.back().message, "Null poutputinfo");
  DXUTMatchOptions refresh;
  refresh.eRefreshRate = DXUTMT_PRESERVE_INPUT;
  EXPECT_FALSE(DXUTDoesD3D10DeviceComboMatchPreserveOptions(combo, matching, refresh, trace.Sink()));
}

class WineSearch : public ::testing::Test {
 protected:
  WineSearch() {
    framework.trace = trace.Sink();
    framework.isD3D10DeviceAcceptable = AcceptAll;
  }
  TraceRecorder trace;
  FrameworkState framework;
};

TEST_F(WineSearch, FindsTheWindowedHardwareDeviceOnWinesAdapterAndOutput) {
  RunRequest request(0, 0);
  DXUTDeviceSettings result = request.settings;
  ASSERT_EQ(DXUTFindValidDeviceSettings(framework, &result, &result, &request.options), S_OK);
  EXPECT_EQ(trace.Lines(), NormalSearchTrace());
  EXPECT_EQ(result.d3d10.AdapterOrdinal, 0u);
  EXPECT_EQ(result.d3d10.Output, 0u);
  EXPECT_EQ(result.d3d10.sd.BufferDesc.Width, 1280u);
  EXPECT_EQ(result.d3d10.sd.BufferDesc.Height, 720u);
  const auto& entries = framework.d3d10Enumeration->GetAdapterInfoList();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0]->m_pAdapter);
  ASSERT_EQ(entries[0]->outputInfoList.size(), 1u);
  EXPECT_TRUE(entries[0]->outputInfoList[0]->m_pOutput);
}

TEST_F(WineSearch, MinusOneAndMinusOneLeaveOnlyTheEntryWithoutAnAdapter) {
  RunRequest request(-1, -1);
  DXUTDeviceSettings result = request.settings;
  EXPECT_EQ(DXUTFindValidDeviceSettings(framework, &result, &result, &request.options),
            frameworkNoCompatibleDevices);
  EXPECT_TRUE(trace.Has(2497));
  EXPECT_FALSE(trace.Has(2572));
  const auto& entries = framework.d3d10Enumeration->GetAdapterInfoList();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_FALSE(entries[0]->m_pAdapter);
}

}  // namespace
