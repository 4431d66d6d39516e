#pragma once
// Reading an effect file: its techniques, passes and state objects are this layer's own syntax,
// written as in an fx_4_0 file; what remains is plain shader code for the platform's compiler.
#include <d3d10.h>

#include <string>
#include <vector>

// The macro a pass that routes instances to cube faces gets defined, per face, in its vertex
// shader: 0 to 5.
constexpr const char* cubeFaceMacro = "CUBE_FACE";

struct ShaderReference {
  std::string profile;  // "vs_4_0" or "ps_4_0"
  std::string entry;    // empty when the pass sets no such shader
};

struct PassSource {
  std::string name;
  ShaderReference vertexShader;
  ShaderReference pixelShader;
  std::string depthStencilState;  // empty: the pass leaves the device's state alone
  UINT stencilRef = 0;
  std::string rasterizerState;
  // Instance i of a draw goes to face i of the bound six-slice targets, as a geometry shader
  // writing the render-target array index would send it.
  bool instancesToCubeFaces = false;
};

struct TechniqueSource {
  std::string name;
  std::vector<PassSource> passes;
};

struct NamedDepthStencilState {
  std::string name;
  D3D10_DEPTH_STENCIL_DESC desc;
};
struct NamedRasterizerState {
  std::string name;
  D3D10_RASTERIZER_DESC desc;
};
struct NamedSamplerState {
  std::string name;
  D3D10_SAMPLER_DESC desc;
};

struct EffectSource {
  // The file with the layer's syntax blanked out (line breaks kept, so the compiler's line
  // numbers are the file's).
  std::string shaderCode;
  std::vector<TechniqueSource> techniques;
  std::vector<NamedDepthStencilState> depthStencilStates;
  std::vector<NamedRasterizerState> rasterizerStates;
  std::vector<NamedSamplerState> samplerStates;
};

// Splits an effect file's text. Returns false with a text naming the file, line and fault when
// the layer's syntax is broken or the text ends inside a block.
bool ParseEffectSource(const std::string& text, const std::string& fileName, EffectSource* source,
                       std::string* failure);
