#pragma once
// The test's effect: the techniques and passes of its effect file, each pass's vertex and pixel
// shader compiled with the platform's compiler, the constant buffers, textures, samplers and
// states they use, and the pass's application to the device. Wine's compiler builds neither
// effects nor geometry shaders, so this layer does the effect's part itself and carries out the
// one geometry-shader task the scene needs (instances to cube faces) with per-face draws.
#include <d3d10.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "gputest/effect/shader_compiler.h"

class Effect;
struct EffectBuilder;

// A named value of the effect's shaders. A setter returns false, and changes nothing, when the
// variable is of another kind or too small; values reach the device at the next pass application.
class EffectVariable {
 public:
  // 16 floats in the row-vector convention (a point multiplies on the left).
  bool SetMatrix(const float* matrix);
  // count matrices of 16 floats, into elements offset to offset + count - 1.
  bool SetMatrixArray(const float* matrices, UINT offset, UINT count);
  // 4 floats; a variable of fewer components takes the first ones.
  bool SetFloatVector(const float* vector);
  bool SetResource(ID3D10ShaderResourceView* view);

 private:
  friend class Effect;
  friend struct EffectBuilder;
  enum class Kind { constant, texture };
  Effect* effect_ = nullptr;
  Kind kind_ = Kind::constant;
  size_t index_ = 0;  // constant buffer or texture of the effect
  UINT offset_ = 0;
  UINT size_ = 0;
  bool matrix_ = false;
  bool columnMajor_ = false;
  UINT elements_ = 0;  // 0 for a single value
};

// One pass: its shaders, what they read and the states it sets.
class EffectPass {
 public:
  // The vertex shader's byte code, against which input layouts are made.
  const void* InputSignature() const;
  SIZE_T InputSignatureSize() const;
  // Sets the pass's shaders, their constant buffers, textures and samplers, and its states.
  void Apply() const;
  // The draw for this pass. A pass that routes instances to cube faces draws instance i alone
  // into face i (its vertex shader compiled for that face) through a one-slice view of the bound
  // six-slice targets, then restores the bound views; instances beyond the sixth face, or beyond
  // the bound views' slices, are not drawn. Any other pass draws as the device does.
  void DrawIndexedInstanced(UINT indexCount, UINT instanceCount, UINT startIndex, INT baseVertex,
                            UINT startInstance) const;
  bool RoutesInstancesToCubeFaces() const { return vertexShaders_.size() > 1; }

 private:
  friend class Effect;
  friend struct EffectBuilder;
  struct Binding {
    UINT slot;
    size_t index;
  };
  struct StageBindings {
    std::vector<Binding> constantBuffers;
    std::vector<Binding> textures;
    std::vector<Binding> samplers;
  };
  // Binds one stage's buffers, textures and samplers through the device's setters of that stage.
  template <typename SetBuffers, typename SetViews, typename SetSamplers>
  void BindStage(const StageBindings& bindings, SetBuffers setBuffers, SetViews setViews,
                 SetSamplers setSamplers) const;

  Effect* effect_ = nullptr;
  std::vector<ComPtr<ID3D10VertexShader>> vertexShaders_;  // one per cube face when routing
  std::vector<char> inputSignature_;
  ComPtr<ID3D10PixelShader> pixelShader_;
  StageBindings vertexBindings_;
  StageBindings pixelBindings_;
  ID3D10DepthStencilState* depthStencilState_ = nullptr;  // owned by the effect
  UINT stencilRef_ = 0;
  ID3D10RasterizerState* rasterizerState_ = nullptr;
};

class EffectTechnique {
 public:
  const std::string& Name() const { return name_; }
  UINT PassCount() const { return static_cast<UINT>(passes_.size()); }
  // The pass, or null past the last one.
  const EffectPass* Pass(UINT index) const;

 private:
  friend class Effect;
  friend struct EffectBuilder;
  std::string name_;
  std::vector<EffectPass> passes_;
};

class Effect {
 public:
  Effect() = default;
  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;

  // The technique or variable of that name, or null when the file has none.
  const EffectTechnique* Technique(const std::string& name) const;
  EffectVariable* Variable(const std::string& name);

 private:
  friend class EffectVariable;
  friend class EffectPass;
  friend struct EffectBuilder;

  struct ConstantBuffer {
    std::string name;
    std::vector<unsigned char> data;
    ComPtr<ID3D10Buffer> buffer;
    bool changed = true;
  };
  struct FaceViews {
    ComPtr<ID3D10RenderTargetView> target;
    ComPtr<ID3D10DepthStencilView> depth;
    std::vector<ComPtr<ID3D10RenderTargetView>> targetFaces;
    std::vector<ComPtr<ID3D10DepthStencilView>> depthFaces;
  };

  void UploadChangedBuffers();
  // The one-slice views of the faces of the bound targets, made on first use.
  const FaceViews& FaceViewsOf(ID3D10RenderTargetView* target, ID3D10DepthStencilView* depth);

  ComPtr<ID3D10Device> device_;
  std::vector<ConstantBuffer> constantBuffers_;
  std::vector<std::string> textureNames_;
  std::vector<ComPtr<ID3D10ShaderResourceView>> textures_;
  std::vector<std::string> samplerNames_;
  std::vector<ComPtr<ID3D10SamplerState>> samplers_;  // null: the device's default sampler
  std::vector<ComPtr<ID3D10DepthStencilState>> depthStencilStates_;
  std::vector<ComPtr<ID3D10RasterizerState>> rasterizerStates_;
  std::map<std::string, EffectVariable> variables_;
  std::vector<EffectTechnique> techniques_;
  std::vector<std::unique_ptr<FaceViews>> faceViews_;
};

// Compiles the effect file at path for device. profile must be "fx_4_0"; flags go to the compiler
// with each shader (D3D10_SHADER_ENABLE_STRICTNESS and the like). Every vertex shader is compiled
// with the macro CUBE_FACE defined: the face number in a pass that routes instances to cube faces,
// 0 elsewhere. On failure returns an error with the file's, the layer's or the compiler's text.
HRESULT CreateEffectFromFile(const wchar_t* path, const char* profile, UINT flags,
                             ID3D10Device* device, const ShaderCompiler& compiler,
                             std::unique_ptr<Effect>* effect, std::string* failure);

// The same for the effect's text, named fileName in the compiler's messages.
HRESULT CreateEffectFromText(const std::string& text, const std::string& fileName,
                             const char* profile, UINT flags, ID3D10Device* device,
                             const ShaderCompiler& compiler, std::unique_ptr<Effect>* effect,
                             std::string* failure);

// A text naming each technique and variable of the lists that the effect lacks; empty when it
// has them all.
std::string MissingEffectNames(Effect& effect, const std::vector<std::string>& techniques,
                               const std::vector<std::string>& variables);
