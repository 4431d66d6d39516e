#pragma once
// Textures read from DDS files through D3DX10, loaded at run time (there is no header or import
// library for it). Only the texture-from-file function is used: Wine's view-from-file functions
// end the process, so the view is made here through the device.
#include <d3d10.h>

#include <string>

#include "common/platform/com_holders.h"
#include "common/platform/loaded_library.h"

struct TextureFileReader {
  LoadedLibrary library;
  HRESULT(WINAPI* createTextureFromFile)(ID3D10Device* device, const wchar_t* file,
                                         void* loadInfo, void* pump, ID3D10Resource** texture,
                                         HRESULT* result) = nullptr;

  bool loaded() const { return createTextureFromFile != nullptr; }
};

// Loads "d3dx10_43.dll"; on failure the reader stays empty and failure says why.
bool LoadTextureFileReader(TextureFileReader* reader, std::string* failure);

// The texture of the file at path and a shader-resource view of all of it. A file D3DX cannot
// make a texture of (missing, unreadable or no texture) gives the framework's media-not-found
// result, with D3DX's own result in *readFailure; a reader that is not loaded gives E_FAIL and a
// view the device cannot make the device's failure.
HRESULT CreateTextureViewFromFile(const TextureFileReader& reader, ID3D10Device* device,
                                  const wchar_t* path, ComPtr<ID3D10ShaderResourceView>* view,
                                  HRESULT* readFailure);
