#pragma once
// The platform's shader compiler, loaded at run time: systems without it still start the test and
// fail its effect with a text instead of refusing to load the program.
#include <d3dcompiler.h>

#include <string>

#include "common/platform/loaded_library.h"

struct ShaderCompiler {
  LoadedLibrary library;
  pD3DCompile compile = nullptr;
  HRESULT(WINAPI* reflect)(const void* data, SIZE_T size, REFIID iid, void** reflector) = nullptr;

  bool loaded() const { return compile != nullptr && reflect != nullptr; }
};

// Loads "d3dcompiler_47.dll"; on failure the holder stays empty and failure says why.
bool LoadShaderCompiler(ShaderCompiler* compiler, std::string* failure);
