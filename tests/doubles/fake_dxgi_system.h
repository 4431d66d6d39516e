#pragma once
// A made-up DXGI system for the device enumeration: adapters with outputs and the mode each output
// reports closest to a wish, and a record of what the enumeration asked for.
#include <string>
#include <utility>
#include <vector>

#include "gputest/framework/enumeration_source.h"

struct FakeOutput {
  DXGI_MODE_DESC closestMode{1280, 720, {60, 1}, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB,
                             DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED, DXGI_MODE_SCALING_UNSPECIFIED};
  bool modeFound = true;  // false: the temporary device or the match fails
  RECT desktop{0, 0, 1920, 1080};
};

struct FakeAdapter {
  std::wstring description;
  std::vector<FakeOutput> outputs;
  bool hardwareDevice = true;  // a hardware device can be made on it
  HRESULT outputFailure = S_OK;  // what EnumOutputs answers instead, when not S_OK
};

struct FakeDxgiSystem {
  std::vector<FakeAdapter> adapters;
  bool hasFactory = true;
  bool defaultAdapterDevice = true;  // a device without an adapter can be made

  std::vector<UINT> adaptersAsked;                  // EnumAdapters, in order
  std::vector<std::pair<int, UINT>> outputsAsked;   // EnumOutputs (adapter, output), in order
  std::vector<std::pair<int, UINT>> modesAsked;     // closest-mode queries
  std::vector<DXGI_MODE_DESC> wishes;               // the modes wished for

  // A source over this system; it must outlive the source.
  EnumerationSource Source();
};

// One adapter of the given description with outputs whose closest modes are 1280 x 720.
FakeAdapter AdapterWithOutputs(const std::wstring& description, size_t outputs);
