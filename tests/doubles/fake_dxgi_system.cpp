#include "tests/doubles/fake_dxgi_system.h"

#include <cwchar>

namespace {
// The fake hands out no interfaces: the source calls know adapters and outputs by index.
const FakeAdapter* Find(const FakeDxgiSystem& system, AdapterRef adapter) {
  if (adapter.index < 0 || static_cast<size_t>(adapter.index) >= system.adapters.size()) {
    return nullptr;
  }
  return &system.adapters[static_cast<size_t>(adapter.index)];
}
}  // namespace

FakeAdapter AdapterWithOutputs(const std::wstring& description, size_t outputs) {
  FakeAdapter adapter;
  adapter.description = description;
  adapter.outputs.resize(outputs);
  return adapter;
}

EnumerationSource FakeDxgiSystem::Source() {
  EnumerationSource source;
  source.hasFactory = [this] { return hasFactory; };
  source.enumAdapter = [this](UINT index, ComPtr<IDXGIAdapter>*) -> HRESULT {
    adaptersAsked.push_back(index);
    return index < adapters.size() ? S_OK : DXGI_ERROR_NOT_FOUND;
  };
  source.describeAdapter = [this](AdapterRef adapter, DXGI_ADAPTER_DESC* desc) -> HRESULT {
    const FakeAdapter* fake = Find(*this, adapter);
    if (fake == nullptr) return E_FAIL;
    *desc = DXGI_ADAPTER_DESC{};
    wcsncpy(desc->Description, fake->description.c_str(), 127);
    return S_OK;
  };
  source.testDevice = [this](AdapterRef adapter, D3D10_DRIVER_TYPE) -> HRESULT {
    if (adapter.index < 0) return defaultAdapterDevice ? S_OK : E_FAIL;
    const FakeAdapter* fake = Find(*this, adapter);
    return fake != nullptr && fake->hardwareDevice ? S_OK : E_FAIL;
  };
  source.enumOutput = [this](AdapterRef adapter, UINT index, ComPtr<IDXGIOutput>*) -> HRESULT {
    outputsAsked.emplace_back(adapter.index, index);
    const FakeAdapter* fake = Find(*this, adapter);
    if (fake == nullptr) return DXGI_ERROR_NOT_FOUND;
    if (fake->outputFailure != S_OK) return fake->outputFailure;
    return index < fake->outputs.size() ? S_OK : DXGI_ERROR_NOT_FOUND;
  };
  source.describeOutput = [this](AdapterRef adapter, OutputRef output,
                                 DXGI_OUTPUT_DESC* desc) -> HRESULT {
    *desc = DXGI_OUTPUT_DESC{};
    desc->DesktopCoordinates = Find(*this, adapter)->outputs[output.index].desktop;
    desc->AttachedToDesktop = TRUE;
    return S_OK;
  };
  source.closestMode = [this](AdapterRef adapter, OutputRef output, const DXGI_MODE_DESC& wish,
                              DXGI_MODE_DESC* closest) -> HRESULT {
    modesAsked.emplace_back(adapter.index, output.index);
    wishes.push_back(wish);
    const FakeOutput& fake = Find(*this, adapter)->outputs[output.index];
    if (!fake.modeFound) return DXGI_ERROR_NOT_FOUND;
    *closest = fake.closestMode;
    return S_OK;
  };
  source.multisampleQualities = [](AdapterRef, D3D10_DRIVER_TYPE, DXGI_FORMAT) {
    return std::vector<UINT>{1, 0, 0, 1};  // one sample, and four with one quality level
  };
  return source;
}
