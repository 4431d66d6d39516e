#include "gputest/effect/effect.h"

#include <d3d11shader.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "gputest/effect/effect_source.h"

namespace {

constexpr UINT matrixBytes = 16 * sizeof(float);

// ID3D11ShaderReflection as d3dcompiler_47 knows it (the headers only declare it).
const GUID shaderReflectionIid = {0x8d536ca1, 0x0cca, 0x4956,
                                  {0xa8, 0x37, 0x78, 0x69, 0x63, 0x75, 0x55, 0x84}};

std::string BlobText(ID3DBlob* blob) {
  if (blob == nullptr) return {};
  const char* text = static_cast<const char*>(blob->GetBufferPointer());
  return std::string(text, strnlen(text, blob->GetBufferSize()));
}

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; *text != L'\0'; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
  return narrow;
}

template <typename Named>
size_t IndexOfName(std::vector<Named>& list, const std::string& name) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].name == name) return i;
  }
  list.push_back(Named{});
  list.back().name = name;
  return list.size() - 1;
}

size_t IndexOf(std::vector<std::string>& names, const std::string& name) {
  const auto found = std::find(names.begin(), names.end(), name);
  if (found != names.end()) return static_cast<size_t>(found - names.begin());
  names.push_back(name);
  return names.size() - 1;
}

// Stores 16 floats of the row-vector convention where the shader reads them: transposed for a
// column-major matrix.
void StoreMatrix(unsigned char* target, const float* matrix, bool columnMajor) {
  float stored[16];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      stored[row * 4 + column] = columnMajor ? matrix[column * 4 + row] : matrix[row * 4 + column];
    }
  }
  std::memcpy(target, stored, sizeof(stored));
}

}  // namespace

// The steps of building an effect, with access to its parts.
struct EffectBuilder {
  Effect& effect;
  const EffectSource& source;
  const std::string& fileName;
  UINT flags;
  const ShaderCompiler& compiler;
  std::string* failure;

  HRESULT Fail(HRESULT result, const std::string& text) {
    *failure = text;
    return result;
  }

  HRESULT Compile(const std::string& where, const ShaderReference& shader, int face,
                  ComPtr<ID3DBlob>* code) {
    const std::string faceText = std::to_string(face);
    const D3D_SHADER_MACRO macros[] = {{cubeFaceMacro, faceText.c_str()}, {nullptr, nullptr}};
    ComPtr<ID3DBlob> errors;
    const HRESULT result = compiler.compile(
        source.shaderCode.data(), source.shaderCode.size(), fileName.c_str(), macros, nullptr,
        shader.entry.c_str(), shader.profile.c_str(), flags, 0, code->out(), errors.out());
    if (FAILED(result) || !*code) {
      std::string text = where + ": " + shader.entry + " (" + shader.profile + ") does not compile";
      const std::string messages = BlobText(errors.get());
      if (!messages.empty()) text += ":\n" + messages;
      return Fail(FAILED(result) ? result : E_FAIL, text);
    }
    return S_OK;
  }

  // Learns from the shader's reflection which constant buffers, textures and samplers it reads
  // and where, and the variables in those buffers.
  HRESULT Reflect(const std::string& where, ID3DBlob* code, EffectPass::StageBindings* bindings) {
    ComPtr<ID3D11ShaderReflection> reflection;
    HRESULT result = compiler.reflect(code->GetBufferPointer(), code->GetBufferSize(),
                                      shaderReflectionIid,
                                      reinterpret_cast<void**>(reflection.out()));
    if (FAILED(result)) return Fail(result, where + ": the shader's reflection cannot be read");
    D3D11_SHADER_DESC desc{};
    reflection->GetDesc(&desc);
    for (UINT i = 0; i < desc.BoundResources; ++i) {
      D3D11_SHADER_INPUT_BIND_DESC bind{};
      if (FAILED(reflection->GetResourceBindingDesc(i, &bind)) || bind.Name == nullptr) continue;
      const std::string name = bind.Name;
      if (bind.Type == D3D_SIT_CBUFFER) {
        const size_t index = IndexOfName(effect.constantBuffers_, name);
        bindings->constantBuffers.push_back({bind.BindPoint, index});
        result = ReflectBuffer(where, reflection->GetConstantBufferByName(bind.Name), index);
        if (FAILED(result)) return result;
      } else if (bind.Type == D3D_SIT_TEXTURE) {
        const size_t index = IndexOf(effect.textureNames_, name);
        bindings->textures.push_back({bind.BindPoint, index});
        EffectVariable& variable = effect.variables_[name];
        variable.effect_ = &effect;
        variable.kind_ = EffectVariable::Kind::texture;
        variable.index_ = index;
      } else if (bind.Type == D3D_SIT_SAMPLER) {
        bindings->samplers.push_back({bind.BindPoint, IndexOf(effect.samplerNames_, name)});
      }
    }
    return S_OK;
  }

  HRESULT ReflectBuffer(const std::string& where, ID3D11ShaderReflectionConstantBuffer* buffer,
                        size_t index) {
    D3D11_SHADER_BUFFER_DESC desc{};
    if (buffer == nullptr || FAILED(buffer->GetDesc(&desc))) {
      return Fail(E_FAIL, where + ": a constant buffer's reflection cannot be read");
    }
    Effect::ConstantBuffer& target = effect.constantBuffers_[index];
    const size_t size = (std::max<size_t>(desc.Size, 16) + 15) / 16 * 16;
    if (target.data.size() < size) target.data.resize(size);
    for (UINT i = 0; i < desc.Variables; ++i) {
      ID3D11ShaderReflectionVariable* variable = buffer->GetVariableByIndex(i);
      D3D11_SHADER_VARIABLE_DESC variableDesc{};
      D3D11_SHADER_TYPE_DESC typeDesc{};
      if (variable == nullptr || FAILED(variable->GetDesc(&variableDesc)) ||
          variableDesc.Name == nullptr || variable->GetType() == nullptr ||
          FAILED(variable->GetType()->GetDesc(&typeDesc))) {
        return Fail(E_FAIL, where + ": a constant's reflection cannot be read");
      }
      if (variableDesc.StartOffset + variableDesc.Size > target.data.size()) {
        return Fail(E_FAIL, where + ": the constant " + variableDesc.Name +
                                " lies outside its buffer");
      }
      EffectVariable& stored = effect.variables_[variableDesc.Name];
      stored.effect_ = &effect;
      stored.kind_ = EffectVariable::Kind::constant;
      stored.index_ = index;
      stored.offset_ = variableDesc.StartOffset;
      stored.size_ = variableDesc.Size;
      stored.matrix_ = typeDesc.Class == D3D_SVC_MATRIX_COLUMNS ||
                       typeDesc.Class == D3D_SVC_MATRIX_ROWS;
      stored.columnMajor_ = typeDesc.Class == D3D_SVC_MATRIX_COLUMNS;
      stored.elements_ = typeDesc.Elements;
    }
    return S_OK;
  }

  template <typename Named, typename State>
  HRESULT FindState(const std::vector<Named>& named, const std::vector<ComPtr<State>>& states,
                    const std::string& name, const std::string& where, const char* kind,
                    State** state) {
    if (name.empty()) return S_OK;
    for (size_t i = 0; i < named.size(); ++i) {
      if (named[i].name == name) {
        *state = states[i].get();
        return S_OK;
      }
    }
    return Fail(E_FAIL, where + ": no " + kind + " named " + name);
  }

  HRESULT BuildPass(const std::string& where, const PassSource& passSource, EffectPass* pass) {
    ID3D10Device* device = effect.device_.get();
    pass->effect_ = &effect;
    if (passSource.vertexShader.entry.empty()) return Fail(E_FAIL, where + ": no vertex shader");
    const int faces = passSource.instancesToCubeFaces ? 6 : 1;
    for (int face = 0; face < faces; ++face) {
      ComPtr<ID3DBlob> code;
      HRESULT result = Compile(where, passSource.vertexShader, face, &code);
      if (FAILED(result)) return result;
      if (face == 0) {
        result = Reflect(where, code.get(), &pass->vertexBindings_);
        if (FAILED(result)) return result;
        const char* bytes = static_cast<const char*>(code->GetBufferPointer());
        pass->inputSignature_.assign(bytes, bytes + code->GetBufferSize());
      }
      ComPtr<ID3D10VertexShader> shader;
      result = device->CreateVertexShader(code->GetBufferPointer(), code->GetBufferSize(),
                                          shader.out());
      if (FAILED(result)) return Fail(result, where + ": the device refuses the vertex shader");
      pass->vertexShaders_.push_back(std::move(shader));
    }
    if (!passSource.pixelShader.entry.empty()) {
      ComPtr<ID3DBlob> code;
      HRESULT result = Compile(where, passSource.pixelShader, 0, &code);
      if (FAILED(result)) return result;
      result = Reflect(where, code.get(), &pass->pixelBindings_);
      if (FAILED(result)) return result;
      result = device->CreatePixelShader(code->GetBufferPointer(), code->GetBufferSize(),
                                         pass->pixelShader_.out());
      if (FAILED(result)) return Fail(result, where + ": the device refuses the pixel shader");
    }
    pass->stencilRef_ = passSource.stencilRef;
    HRESULT result = FindState(source.depthStencilStates, effect.depthStencilStates_,
                               passSource.depthStencilState, where, "DepthStencilState",
                               &pass->depthStencilState_);
    if (FAILED(result)) return result;
    return FindState(source.rasterizerStates, effect.rasterizerStates_,
                     passSource.rasterizerState, where, "RasterizerState",
                     &pass->rasterizerState_);
  }

  HRESULT CreateStates() {
    ID3D10Device* device = effect.device_.get();
    for (const NamedDepthStencilState& state : source.depthStencilStates) {
      effect.depthStencilStates_.emplace_back();
      if (FAILED(device->CreateDepthStencilState(&state.desc,
                                                 effect.depthStencilStates_.back().out()))) {
        return Fail(E_FAIL, fileName + ": DepthStencilState " + state.name + " is refused");
      }
    }
    for (const NamedRasterizerState& state : source.rasterizerStates) {
      effect.rasterizerStates_.emplace_back();
      if (FAILED(device->CreateRasterizerState(&state.desc,
                                               effect.rasterizerStates_.back().out()))) {
        return Fail(E_FAIL, fileName + ": RasterizerState " + state.name + " is refused");
      }
    }
    return S_OK;
  }

  // After every pass is built: the buffers and samplers the shaders read.
  HRESULT CreateBuffersAndSamplers() {
    ID3D10Device* device = effect.device_.get();
    for (Effect::ConstantBuffer& buffer : effect.constantBuffers_) {
      D3D10_BUFFER_DESC desc{};
      desc.ByteWidth = static_cast<UINT>(buffer.data.size());
      desc.Usage = D3D10_USAGE_DEFAULT;
      desc.BindFlags = D3D10_BIND_CONSTANT_BUFFER;
      if (FAILED(device->CreateBuffer(&desc, nullptr, buffer.buffer.out()))) {
        return Fail(E_FAIL, fileName + ": the constant buffer " + buffer.name + " is refused");
      }
    }
    effect.textures_.resize(effect.textureNames_.size());
    effect.samplers_.resize(effect.samplerNames_.size());
    for (size_t i = 0; i < effect.samplerNames_.size(); ++i) {
      for (const NamedSamplerState& state : source.samplerStates) {
        if (state.name != effect.samplerNames_[i]) continue;
        if (FAILED(device->CreateSamplerState(&state.desc, effect.samplers_[i].out()))) {
          return Fail(E_FAIL, fileName + ": SamplerState " + state.name + " is refused");
        }
      }
    }
    return S_OK;
  }

  HRESULT Build(ID3D10Device* device) {
    device->AddRef();
    effect.device_ = ComPtr<ID3D10Device>(device);
    HRESULT result = CreateStates();
    if (FAILED(result)) return result;
    effect.techniques_.resize(source.techniques.size());
    for (size_t t = 0; t < source.techniques.size(); ++t) {
      const TechniqueSource& techniqueSource = source.techniques[t];
      EffectTechnique& technique = effect.techniques_[t];
      technique.name_ = techniqueSource.name;
      technique.passes_.resize(techniqueSource.passes.size());
      for (size_t p = 0; p < techniqueSource.passes.size(); ++p) {
        const std::string where =
            fileName + ": technique " + technique.name_ + ", pass " + techniqueSource.passes[p].name;
        result = BuildPass(where, techniqueSource.passes[p], &technique.passes_[p]);
        if (FAILED(result)) return result;
      }
    }
    return CreateBuffersAndSamplers();
  }
};

bool EffectVariable::SetMatrix(const float* matrix) {
  return SetMatrixArray(matrix, 0, 1);
}

bool EffectVariable::SetMatrixArray(const float* matrices, UINT offset, UINT count) {
  if (effect_ == nullptr || kind_ != Kind::constant || !matrix_ || size_ < matrixBytes) {
    return false;
  }
  const UINT elements = elements_ == 0 ? 1 : elements_;
  if (offset > elements || count > elements - offset) return false;
  Effect::ConstantBuffer& buffer = effect_->constantBuffers_[index_];
  for (UINT i = 0; i < count; ++i) {
    StoreMatrix(&buffer.data[offset_ + (offset + i) * matrixBytes], matrices + i * 16,
                columnMajor_);
  }
  buffer.changed = true;
  return true;
}

bool EffectVariable::SetFloatVector(const float* vector) {
  if (effect_ == nullptr || kind_ != Kind::constant || matrix_ || elements_ != 0) return false;
  Effect::ConstantBuffer& buffer = effect_->constantBuffers_[index_];
  std::memcpy(&buffer.data[offset_], vector, std::min<UINT>(size_, 4 * sizeof(float)));
  buffer.changed = true;
  return true;
}

bool EffectVariable::SetResource(ID3D10ShaderResourceView* view) {
  if (effect_ == nullptr || kind_ != Kind::texture) return false;
  if (view != nullptr) view->AddRef();
  effect_->textures_[index_] = ComPtr<ID3D10ShaderResourceView>(view);
  return true;
}

const void* EffectPass::InputSignature() const { return inputSignature_.data(); }
SIZE_T EffectPass::InputSignatureSize() const { return inputSignature_.size(); }

template <typename SetBuffers, typename SetViews, typename SetSamplers>
void EffectPass::BindStage(const StageBindings& bindings, SetBuffers setBuffers, SetViews setViews,
                           SetSamplers setSamplers) const {
  ID3D10Device* device = effect_->device_.get();
  for (const Binding& binding : bindings.constantBuffers) {
    ID3D10Buffer* buffer = effect_->constantBuffers_[binding.index].buffer.get();
    (device->*setBuffers)(binding.slot, 1, &buffer);
  }
  for (const Binding& binding : bindings.textures) {
    ID3D10ShaderResourceView* view = effect_->textures_[binding.index].get();
    (device->*setViews)(binding.slot, 1, &view);
  }
  for (const Binding& binding : bindings.samplers) {
    ID3D10SamplerState* sampler = effect_->samplers_[binding.index].get();
    (device->*setSamplers)(binding.slot, 1, &sampler);
  }
}

void EffectPass::Apply() const {
  effect_->UploadChangedBuffers();
  ID3D10Device* device = effect_->device_.get();
  device->VSSetShader(vertexShaders_.front().get());
  device->GSSetShader(nullptr);
  device->PSSetShader(pixelShader_.get());
  BindStage(vertexBindings_, &ID3D10Device::VSSetConstantBuffers,
            &ID3D10Device::VSSetShaderResources, &ID3D10Device::VSSetSamplers);
  BindStage(pixelBindings_, &ID3D10Device::PSSetConstantBuffers,
            &ID3D10Device::PSSetShaderResources, &ID3D10Device::PSSetSamplers);
  if (depthStencilState_ != nullptr) device->OMSetDepthStencilState(depthStencilState_, stencilRef_);
  if (rasterizerState_ != nullptr) device->RSSetState(rasterizerState_);
}

void EffectPass::DrawIndexedInstanced(UINT indexCount, UINT instanceCount, UINT startIndex,
                                      INT baseVertex, UINT startInstance) const {
  ID3D10Device* device = effect_->device_.get();
  if (!RoutesInstancesToCubeFaces()) {
    device->DrawIndexedInstanced(indexCount, instanceCount, startIndex, baseVertex, startInstance);
    return;
  }
  ComPtr<ID3D10RenderTargetView> target;
  ComPtr<ID3D10DepthStencilView> depth;
  device->OMGetRenderTargets(1, target.out(), depth.out());
  const Effect::FaceViews& faces = effect_->FaceViewsOf(target.get(), depth.get());
  const size_t faceCount = std::max(faces.targetFaces.size(), faces.depthFaces.size());
  for (UINT instance = 0; instance < instanceCount && instance < faceCount; ++instance) {
    ID3D10RenderTargetView* faceTarget =
        instance < faces.targetFaces.size() ? faces.targetFaces[instance].get() : nullptr;
    ID3D10DepthStencilView* faceDepth =
        instance < faces.depthFaces.size() ? faces.depthFaces[instance].get() : nullptr;
    device->OMSetRenderTargets(faceTarget != nullptr ? 1 : 0, &faceTarget, faceDepth);
    device->VSSetShader(vertexShaders_[instance].get());
    device->DrawIndexedInstanced(indexCount, 1, startIndex, baseVertex, startInstance + instance);
  }
  ID3D10RenderTargetView* boundTarget = target.get();
  device->OMSetRenderTargets(boundTarget != nullptr ? 1 : 0, &boundTarget, depth.get());
  device->VSSetShader(vertexShaders_.front().get());
}

const EffectPass* EffectTechnique::Pass(UINT index) const {
  return index < passes_.size() ? &passes_[index] : nullptr;
}

const EffectTechnique* Effect::Technique(const std::string& name) const {
  for (const EffectTechnique& technique : techniques_) {
    if (technique.name_ == name) return &technique;
  }
  return nullptr;
}

EffectVariable* Effect::Variable(const std::string& name) {
  const auto found = variables_.find(name);
  return found == variables_.end() ? nullptr : &found->second;
}

void Effect::UploadChangedBuffers() {
  for (ConstantBuffer& buffer : constantBuffers_) {
    if (!buffer.changed) continue;
    device_->UpdateSubresource(buffer.buffer.get(), 0, nullptr, buffer.data.data(), 0, 0);
    buffer.changed = false;
  }
}

namespace {

// One-slice views of the faces (at most six) of a 2-D array view; a view of one texture serves
// every face itself, as a single render target takes every array index there.
template <typename View, typename Desc, typename Create>
std::vector<ComPtr<View>> FaceViewsOfView(View* view, int arrayDimension, Create create) {
  std::vector<ComPtr<View>> faces;
  if (view == nullptr) return faces;
  Desc desc{};
  view->GetDesc(&desc);
  ComPtr<ID3D10Resource> resource;
  view->GetResource(resource.out());
  const bool isArray = desc.ViewDimension == arrayDimension;
  const UINT slices = isArray ? std::min<UINT>(desc.Texture2DArray.ArraySize, 6) : 6;
  for (UINT face = 0; face < slices; ++face) {
    faces.emplace_back();
    if (!isArray) {
      view->AddRef();
      faces.back() = ComPtr<View>(view);
      continue;
    }
    Desc faceDesc = desc;
    faceDesc.Texture2DArray.FirstArraySlice = desc.Texture2DArray.FirstArraySlice + face;
    faceDesc.Texture2DArray.ArraySize = 1;
    if (FAILED(create(resource.get(), &faceDesc, faces.back().out()))) {
      faces.pop_back();
      break;
    }
  }
  return faces;
}

}  // namespace

const Effect::FaceViews& Effect::FaceViewsOf(ID3D10RenderTargetView* target,
                                            ID3D10DepthStencilView* depth) {
  for (const std::unique_ptr<FaceViews>& views : faceViews_) {
    if (views->target.get() == target && views->depth.get() == depth) return *views;
  }
  auto views = std::make_unique<FaceViews>();
  // Holding the bound views keeps their addresses from naming other views later.
  if (target != nullptr) target->AddRef();
  if (depth != nullptr) depth->AddRef();
  views->target = ComPtr<ID3D10RenderTargetView>(target);
  views->depth = ComPtr<ID3D10DepthStencilView>(depth);
  ID3D10Device* device = device_.get();
  views->targetFaces = FaceViewsOfView<ID3D10RenderTargetView, D3D10_RENDER_TARGET_VIEW_DESC>(
      target, D3D10_RTV_DIMENSION_TEXTURE2DARRAY, [device](ID3D10Resource* resource, const D3D10_RENDER_TARGET_VIEW_DESC* desc,
                       ID3D10RenderTargetView** view) {
        return device->CreateRenderTargetView(resource, desc, view);
      });
  views->depthFaces = FaceViewsOfView<ID3D10DepthStencilView, D3D10_DEPTH_STENCIL_VIEW_DESC>(
      depth, D3D10_DSV_DIMENSION_TEXTURE2DARRAY, [device](ID3D10Resource* resource, const D3D10_DEPTH_STENCIL_VIEW_DESC* desc,
                      ID3D10DepthStencilView** view) {
        return device->CreateDepthStencilView(resource, desc, view);
      });
  faceViews_.push_back(std::move(views));
  return *faceViews_.back();
}

HRESULT CreateEffectFromText(const std::string& text, const std::string& fileName,
                             const char* profile, UINT flags, ID3D10Device* device,
                             const ShaderCompiler& compiler, std::unique_ptr<Effect>* effect,
                             std::string* failure) {
  effect->reset();
  if (profile == nullptr || std::strcmp(profile, "fx_4_0") != 0) {
    *failure = fileName + ": effects are built for the profile fx_4_0 only";
    return E_INVALIDARG;
  }
  if (device == nullptr || !compiler.loaded()) {
    *failure = fileName + ": no device or no shader compiler";
    return E_INVALIDARG;
  }
  EffectSource source;
  if (!ParseEffectSource(text, fileName, &source, failure)) return E_FAIL;
  auto made = std::make_unique<Effect>();
  EffectBuilder builder{*made, source, fileName, flags, compiler, failure};
  const HRESULT result = builder.Build(device);
  if (FAILED(result)) return result;
  *effect = std::move(made);
  return S_OK;
}

HRESULT CreateEffectFromFile(const wchar_t* path, const char* profile, UINT flags,
                             ID3D10Device* device, const ShaderCompiler& compiler,
                             std::unique_ptr<Effect>* effect, std::string* failure) {
  effect->reset();
  const std::string fileName = Narrow(path);
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *failure = fileName + ": the file cannot be opened";
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    *failure = fileName + ": the file cannot be read";
    return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
  }
  return CreateEffectFromText(text.str(), fileName, profile, flags, device, compiler, effect,
                              failure);
}

std::string MissingEffectNames(Effect& effect, const std::vector<std::string>& techniques,
                               const std::vector<std::string>& variables) {
  std::string missing;
  for (const std::string& name : techniques) {
    if (effect.Technique(name) == nullptr) missing += "no technique " + name + "\n";
  }
  for (const std::string& name : variables) {
    if (effect.Variable(name) == nullptr) missing += "no variable " + name + "\n";
  }
  return missing;
}
