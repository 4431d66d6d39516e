#include "gputest/mesh/texture_file.h"

#include <utility>

#include "gputest/framework/framework_errors.h"

bool LoadTextureFileReader(TextureFileReader* reader, std::string* failure) {
  *reader = {};
  LoadedLibrary library("d3dx10_43.dll");
  if (!library) {
    *failure = "d3dx10_43.dll cannot be loaded";
    return false;
  }
  const auto create = library.Symbol<decltype(reader->createTextureFromFile)>(
      "D3DX10CreateTextureFromFileW");
  if (create == nullptr) {
    *failure = "d3dx10_43.dll lacks D3DX10CreateTextureFromFileW";
    return false;
  }
  reader->library = std::move(library);
  reader->createTextureFromFile = create;
  return true;
}

HRESULT CreateTextureViewFromFile(const TextureFileReader& reader, ID3D10Device* device,
                                  const wchar_t* path, ComPtr<ID3D10ShaderResourceView>* view,
                                  HRESULT* readFailure) {
  view->reset();
  *readFailure = S_OK;
  if (!reader.loaded()) return E_FAIL;
  ComPtr<ID3D10Resource> texture;
  const HRESULT hr =
      reader.createTextureFromFile(device, path, nullptr, nullptr, texture.out(), nullptr);
  if (FAILED(hr) || !texture) {
    *readFailure = FAILED(hr) ? hr : E_FAIL;
    return frameworkMediaNotFound;
  }
  return device->CreateShaderResourceView(texture.get(), nullptr, view->out());
}
