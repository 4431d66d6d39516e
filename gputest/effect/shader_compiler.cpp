#include "gputest/effect/shader_compiler.h"

bool LoadShaderCompiler(ShaderCompiler* compiler, std::string* failure) {
  compiler->library = LoadedLibrary(L"d3dcompiler_47.dll");
  if (!compiler->library) {
    *failure = "the shader compiler d3dcompiler_47.dll cannot be loaded";
    return false;
  }
  compiler->compile = compiler->library.Symbol<pD3DCompile>("D3DCompile");
  compiler->reflect = compiler->library.Symbol<decltype(compiler->reflect)>("D3DReflect");
  if (!compiler->loaded()) {
    *failure = "d3dcompiler_47.dll lacks D3DCompile or D3DReflect";
    return false;
  }
  return true;
}
